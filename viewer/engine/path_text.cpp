#include "viewer/engine/path_text.h"

bool IsCp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

size_t Cp932CharacterLength(std::string_view text, size_t i) {
  return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

std::string FileNamePart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += Cp932CharacterLength(path, i)) {
    if (path[i] == '\\') start = i + 1;
  }
  return std::string(path.substr(start));
}

bool EndsWithSeparator(std::string_view path) {
  bool separator = false;
  for (size_t i = 0; i < path.size(); i += Cp932CharacterLength(path, i)) {
    separator = path[i] == '\\' || path[i] == '/';
  }
  return separator;
}

size_t FileNameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += Cp932CharacterLength(path, i)) {
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  }
  return start;
}

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i += Cp932CharacterLength(a, i)) {
    if (Cp932CharacterLength(a, i) == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}
