// GetPluginInfo's answer from a plug-in's table of texts: the type, a
// description, then file patterns and their names in pairs.
#pragma once

#include <cstddef>
#include <cstring>

// Copies text `infoNo` of `texts` into the host's buffer, cut to fit with
// its terminating zero; the characters copied. An unknown number, or a
// buffer without room for the zero, gets nothing at all.
template <size_t kCount>
int CopyPluginInfo(const char* const (&texts)[kCount], int infoNo, char* buffer, int bufferLength) {
  if (infoNo < 0 || static_cast<size_t>(infoNo) >= kCount || !buffer || bufferLength < 1) return 0;
  const char* text = texts[infoNo];
  size_t length = std::strlen(text);
  if (length >= static_cast<size_t>(bufferLength)) length = static_cast<size_t>(bufferLength) - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}
