#include "viewer/engine/path_text.h"

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The bytes of the character that starts at `i` and the UTF-16 units it
// takes. Continuation bytes are not checked: a malformed sequence is only
// ever counted, never decoded.
struct Character {
  size_t bytes;
  size_t units;
};

Character CharacterAt(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const size_t bytes = lead >= 0xF0 && lead <= 0xF4   ? 4
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                                                      : 1;
  if (bytes > text.size() - i) return {1, 1};
  return {bytes, bytes == 4 ? 2u : 1u};
}

}  // namespace

std::string FileNamePart(std::string_view path) {
  const size_t separator = path.find_last_of('\\');
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

size_t FileNameStart(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

bool EndsWithSeparator(std::string_view path) { return !path.empty() && (path.back() == '\\' || path.back() == '/'); }

std::string UserProgramFolder(std::string_view localAppData) {
  std::string folder(localAppData);
  if (!EndsWithSeparator(folder)) folder += '\\';
  return folder + "Trellin";
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool HasExtension(std::string_view name, std::string_view extension) {
  const std::string_view file = name.substr(FileNameStart(name));
  const size_t dot = file.rfind('.');
  return dot != std::string_view::npos && EqualIgnoringAsciiCase(file.substr(dot + 1), extension);
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  for (size_t i = 0; i < utf8.size();) {
    const Character c = CharacterAt(utf8, i);
    i += c.bytes;
    units += c.units;
  }
  return units;
}

std::string_view CutToUtf16Length(std::string_view utf8, size_t limit) {
  size_t end = 0, units = 0;
  while (end < utf8.size()) {
    const Character c = CharacterAt(utf8, end);
    if (units + c.units > limit) break;
    end += c.bytes;
    units += c.units;
  }
  return utf8.substr(0, end);
}
