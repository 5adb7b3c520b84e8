// Paths and names in the ANSI code page 932. A byte from 0x81 to 0x9F or from
// 0xE0 to 0xFC starts a two-byte character, and the second byte may look like
// a backslash or an ASCII letter: it never counts as one.
#pragma once

#include <cstddef>
#include <string_view>

bool IsLeadByte(char c);

// True when the two texts differ at most in the case of single-byte ASCII
// letters; both bytes of a two-byte character must match exactly.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The position just after the last '\' or '/' of the path, 0 when there is
// none: where its file name starts.
size_t FileNameStart(std::string_view path);
