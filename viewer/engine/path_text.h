// Paths in the ANSI code page 932: a lead byte (0x81-0x9F, 0xE0-0xFC)
// starts a two-byte character whose second byte may have the value of a
// backslash (0x5C), which is then never a separator.
#pragma once

#include <string>
#include <string_view>

bool IsCp932LeadByte(unsigned char byte);

// Bytes of the character that starts at `i`: 2 after a lead byte, except
// that a lead byte at the very end stands alone.
size_t Cp932CharacterLength(std::string_view text, size_t i);

// The text after the last backslash; the whole path when it has none.
std::string FileNamePart(std::string_view path);

// The position just after the last '\' or '/' of the path, 0 when there is
// none: where its file name starts.
size_t FileNameStart(std::string_view path);

// True when the two texts differ at most in the case of single-byte ASCII
// letters; both bytes of a two-byte character must match exactly (its
// second byte may look like a letter).
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// True when the last character is a backslash or a slash (a single-byte
// character, not the second byte of a two-byte one).
bool EndsWithSeparator(std::string_view path);
