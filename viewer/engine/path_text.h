// Paths and names as the viewer's portable parts keep them: UTF-8, where a
// byte of 0x5C is always a backslash (no other character's bytes contain
// it), and where Windows counts a text in UTF-16 units.
#pragma once

#include <string>
#include <string_view>

// The text after the last backslash; the whole path when it has none.
std::string FileNamePart(std::string_view path);

// The position just after the last '\' or '/' of the path, 0 when there is
// none: where its file name starts.
size_t FileNameStart(std::string_view path);

// True when the path ends in a backslash or a slash.
bool EndsWithSeparator(std::string_view path);

// The program's own folder among the user's local application data
// (`localAppData`, %LOCALAPPDATA%): its "Trellin" folder, where what the
// account may not write beside the program or into Windows' folder goes.
std::string UserProgramFolder(std::string_view localAppData);

// True when the two texts differ at most in the case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when the file name's text after its last dot is `extension`,
// ignoring the case of ASCII letters ("X.SPI" has "spi"; "x.spi_old" and
// "spi" have not).
bool HasExtension(std::string_view name, std::string_view extension);

// The UTF-16 units of a UTF-8 text: what a Windows buffer of characters
// must hold of it (two for a character beyond U+FFFF). A byte that is no
// lead byte, or a lead byte cut short by the end, counts as one; the bytes
// after a lead byte are not checked.
size_t Utf16Length(std::string_view utf8);

// The longest start of the text of at most `limit` UTF-16 units that ends
// between two characters.
std::string_view CutToUtf16Length(std::string_view utf8, size_t limit);
