// UTF-8 and UTF-16 for the texts and names the system hands over.
//
// A Windows file name is a sequence of 16-bit units that need not be
// well-formed UTF-16: NTFS keeps a lone surrogate as it is. Such a unit is
// kept as the three bytes UTF-8 would give its code point (the generalised
// form known as WTF-8), so that every name comes back exactly as it went in
// and a file with such a name still opens and saves under its own name.
// Well-formed text is plain UTF-8 both ways.
#pragma once

#include <string>
#include <string_view>

// Every unit kept: a pair as one four-byte character, a lone surrogate as
// three bytes of its own.
std::string Utf8FromUtf16(std::u16string_view utf16);
// The inverse of Utf8FromUtf16. Bytes that form no character (a stray
// continuation byte, a sequence cut short, an overlong or out-of-range
// form) each become U+FFFD, as the system's own conversion does.
std::u16string Utf16FromUtf8(std::string_view utf8);
