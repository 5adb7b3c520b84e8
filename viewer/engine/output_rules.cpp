#include "viewer/engine/output_rules.h"

#include <algorithm>
#include <cstdint>

#include "viewer/engine/path_text.h"

namespace {

constexpr size_t kMaxDialogName = 259;  // a 260-character buffer with its terminator
constexpr int32_t kStretchBit = 2;
constexpr int32_t kWriterResultTexts = 11;  // codes 0 to 10

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
  const std::string_view name = CutToUtf16Length(foregroundName, kMaxDialogName);
  // A dot in a folder name is not an extension.
  const size_t fileNameStart = name.size() - FileNamePart(name).size();
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot < fileNameStart) return std::string(name);
  return std::string(name.substr(0, dot));
}

SaveFormat SaveFormatForTitle(std::string_view fileTitle) {
  const size_t dot = fileTitle.find_last_of('.');
  const std::string_view extension = dot == std::string_view::npos ? fileTitle : fileTitle.substr(dot + 1);
  if (EqualIgnoringAsciiCase(extension, "png")) return SaveFormat::Png;
  // Every name Windows gives JPEG files: a JPEG named "x.jpeg" must not get
  // BMP bytes.
  for (const char* jpeg : {"jpg", "jpeg", "jpe", "jfif"})
    if (EqualIgnoringAsciiCase(extension, jpeg)) return SaveFormat::Jpeg;
  return SaveFormat::Bmp;
}

int ResultTextIndex(int32_t code) { return code >= 0 && code < kWriterResultTexts ? code : kWriterResultTexts; }

std::string WallpaperPath(std::string_view folder, std::string_view userName) {
  std::string path(folder);
  if (!EndsWithSeparator(path)) path += '\\';
  path += "Susie_";
  path += userName;
  path += "_WP.BMP";
  return path;
}

std::vector<WallpaperPlace> WallpaperPlaces(std::string_view windowsDirectory, std::string_view localAppData,
                                            std::string_view userName) {
  std::vector<WallpaperPlace> places;
  if (!windowsDirectory.empty()) places.push_back({WallpaperPath(windowsDirectory, userName), ""});
  if (!localAppData.empty()) {
    const std::string folder = UserProgramFolder(localAppData);
    places.push_back({WallpaperPath(folder, userName), folder});
  }
  return places;
}

std::optional<std::string> WriteAtFirstPlace(const std::vector<WallpaperPlace>& places,
                                             const std::function<bool(const std::string& folder)>& makeFolder,
                                             const std::function<bool(const std::string& path)>& write) {
  for (const WallpaperPlace& place : places) {
    if (!place.folder.empty() && !makeFolder(place.folder)) continue;
    if (write(place.path)) return place.path;
  }
  return std::nullopt;
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
