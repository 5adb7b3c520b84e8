// Texts as the ANSI calls hand them out on a Japanese system.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 text in code page 932.
inline std::string Cp932(const char* utf8) {
  wchar_t wide[1024];
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
  char ansi[2048];
  const int length = WideCharToMultiByte(932, 0, wide, wideLength, ansi, sizeof(ansi), nullptr, nullptr);
  return std::string(ansi, length > 0 ? static_cast<size_t>(length - 1) : 0);
}
