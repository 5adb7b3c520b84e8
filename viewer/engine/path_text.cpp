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
