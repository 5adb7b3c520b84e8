#include "viewer/engine/output_rules.h"

#include <algorithm>
#include <cstdint>

#include "viewer/engine/path_text.h"

namespace {

constexpr size_t kMaxDialogName = 259;  // a 260-character buffer with its terminator
constexpr int32_t kStretchBit = 2;

// The longest prefix of at most `limit` bytes that ends on a character
// boundary.
std::string_view CutToCharacters(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size() && end + Cp932CharacterLength(text, end) <= limit) end += Cp932CharacterLength(text, end);
  return text.substr(0, end);
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The value of the leading decimal digits (0 when there are none), held to
// the int32 range.
int32_t LeadingNumber(std::string_view text) {
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<int64_t>(value * 10 + (c - '0'), INT32_MAX);
  }
  return static_cast<int32_t>(value);
}

}  // namespace

std::string InitialSaveName(std::string_view foregroundName) {
  const std::string_view name = CutToCharacters(foregroundName, kMaxDialogName);
  // A dot in a folder name is not an extension.
  const size_t fileNameStart = name.size() - FileNamePart(name).size();
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot < fileNameStart) return std::string(name);
  return std::string(name.substr(0, dot));
}

SaveFormat SaveFormatForTitle(std::string_view fileTitle) {
  const size_t dot = fileTitle.find_last_of('.');
  const std::string_view extension = dot == std::string_view::npos ? fileTitle : fileTitle.substr(dot + 1);
  if (EqualsAsciiNoCase(extension, "png")) return SaveFormat::Png;
  if (EqualsAsciiNoCase(extension, "jpg")) return SaveFormat::Jpeg;
  return SaveFormat::Bmp;
}

const char* ResultText(int32_t code) {
  static const char* const kTexts[] = {
      "\x90\xb3\x8f\xed\x8f\x49\x97\xb9",                                                  // 正常終了
      "\x92\x86\x92\x66",                                                                  // 中断
      "\x96\xa2\x91\xce\x89\x9e\x82\xcc\x83\x74\x83\x48\x81\x5b\x83\x7d\x83\x62\x83\x67",  // 未対応のフォーマット
      "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xe9",  // データが壊れている
      "\x83\x81\x83\x82\x83\x8a\x81\x5b\x82\xaa\x8a\x6d\x95\xdb\x8f\x6f\x97\x88\x82\xc8\x82\xa2",  // メモリーが確保出来ない
      "\x83\x81\x83\x82\x83\x8a\x81\x5b\x83\x47\x83\x89\x81\x5b",  // メモリーエラー
      "\x83\x74\x83\x40\x83\x43\x83\x8b\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x83\x47\x83\x89\x81\x5b",  // ファイル読み込みエラー
      "\x91\x8b\x82\xaa\x8a\x4a\x82\xaf\x82\xc8\x82\xa2",                                          // 窓が開けない
      "\x93\xe0\x95\x94\x83\x47\x83\x89\x81\x5b",                                                  // 内部エラー
      "\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x83\x47\x83\x89\x81\x5b",                  // 書き込みエラー
      "\x83\x74\x83\x40\x83\x43\x83\x8b\x8f\x49\x92\x5b\x82\xf0\x8c\x9f\x8f\x6f",  // ファイル終端を検出
  };
  static const char kUnsupported[] = "\x96\xa2\x91\xce\x89\x9e\x82\xcc\x8b\x40\x94\x5c";  // 未対応の機能
  constexpr int32_t kCount = static_cast<int32_t>(sizeof kTexts / sizeof kTexts[0]);
  return code >= 0 && code < kCount ? kTexts[code] : kUnsupported;
}

std::string WallpaperPath(std::string_view windowsDirectory, std::string_view userName) {
  std::string path(windowsDirectory);
  if (!EndsWithSeparator(path)) path += '\\';
  path += "Susie_";
  path += userName;
  path += "_WP.BMP";
  return path;
}

WallpaperSettings WallpaperSettingsFor(WallpaperCommand command, std::optional<std::string_view> oldStyle) {
  const bool centre = command == WallpaperCommand::Centre;
  int32_t style = centre ? 0 : kStretchBit;
  if (oldStyle) {
    const int32_t old = LeadingNumber(*oldStyle);
    style = centre ? old & ~kStretchBit : old | kStretchBit;
  }
  return WallpaperSettings{command == WallpaperCommand::Tile ? "1" : "0", std::to_string(style)};
}
