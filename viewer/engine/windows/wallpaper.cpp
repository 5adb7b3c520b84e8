#include "viewer/engine/windows/wallpaper.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/windows/known_folders.h"
#include "platform/windows/text.h"

namespace {

std::string WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? platform::Utf8(folder) : std::string();
}

std::string UserName() {
  wchar_t user[256 + 1] = {};  // UNLEN and its zero
  DWORD length = sizeof user / sizeof user[0];
  return GetUserNameW(user, &length) ? platform::Utf8(user) : std::string();
}

bool MakeFolder(const std::string& folder) {
  return CreateDirectoryW(platform::Utf16(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void WriteString(HKEY key, const wchar_t* name, const std::string& value) {
  const std::wstring wide = platform::Utf16(value);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

// The value as text when it is one, else nothing.
std::optional<std::string> ReadString(HKEY key, const wchar_t* name) {
  wchar_t value[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH * sizeof(wchar_t);  // one character spare for a value stored without its zero
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  return platform::Utf8(value);
}

// The settings are written only where the desktop's key opens; failures
// of single values pass unreported.
void WriteDesktopSettings(WallpaperCommand command) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
    return;
  WriteString(key, L"WallpaperOriginX", "0");
  WriteString(key, L"WallpaperOriginY", "0");
  const std::optional<std::string> oldStyle = ReadString(key, L"WallpaperStyle");
  const WallpaperSettings settings = WallpaperSettingsFor(
      command, oldStyle ? std::optional<std::string_view>(*oldStyle) : std::optional<std::string_view>());
  WriteString(key, L"TileWallpaper", settings.tileWallpaper);
  WriteString(key, L"WallpaperStyle", settings.wallpaperStyle);
  RegCloseKey(key);
}

}  // namespace

bool SetWallpaper(PictureWriter& writer, const OutputPicture& picture, WallpaperCommand command) {
  const std::optional<std::string> path = WriteAtFirstPlace(
      WallpaperPlaces(WindowsFolder(), platform::Utf8(platform::LocalAppDataFolder()), UserName()), MakeFolder, [&](const std::string& place) {
        return writer.Save(SaveFormat::Bmp, place.c_str(), kWriterOptionWallpaper, picture.header(),
                           picture.pixels()) == kWriterOk;
      });
  if (!path) return false;
  WriteDesktopSettings(command);
  // Neither written to the user's profile nor broadcast; its answer is not looked at.
  std::wstring wide = platform::Utf16(*path);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), 0);
  return true;
}
