#include "viewer/engine/wallpaper.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

std::string WallpaperFile() {
  char windows[MAX_PATH] = {};
  char user[MAX_PATH] = {};
  DWORD userLength = sizeof user;
  const UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
  if (windowsLength >= sizeof windows) windows[0] = '\0';
  if (!GetUserNameA(user, &userLength)) user[0] = '\0';
  return WallpaperPath(windows, user);
}

void WriteString(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

// The value as text when it is one, else nothing.
std::optional<std::string> ReadString(HKEY key, const char* name) {
  char value[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH;  // one byte spare for a value stored without its zero
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  return std::string(value);
}

// The settings are written only where the desktop's key opens; failures
// of single values pass unreported.
void WriteDesktopSettings(WallpaperCommand command) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
    return;
  WriteString(key, "WallpaperOriginX", "0");
  WriteString(key, "WallpaperOriginY", "0");
  const std::optional<std::string> oldStyle = ReadString(key, "WallpaperStyle");
  const WallpaperSettings settings = WallpaperSettingsFor(
      command, oldStyle ? std::optional<std::string_view>(*oldStyle) : std::optional<std::string_view>());
  WriteString(key, "TileWallpaper", settings.tileWallpaper);
  WriteString(key, "WallpaperStyle", settings.wallpaperStyle);
  RegCloseKey(key);
}

}  // namespace

bool SetWallpaper(PictureWriter& writer, const OutputPicture& picture, WallpaperCommand command) {
  const std::string path = WallpaperFile();
  if (writer.Save(SaveFormat::Bmp, path.c_str(), kWriterWallpaper, picture.header(), picture.pixels()) != 0)
    return false;
  WriteDesktopSettings(command);
  // Neither written to the user's profile nor broadcast; its answer is not looked at.
  SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), 0);
  return true;
}
