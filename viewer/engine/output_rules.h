// The rules of the output commands that need no window: the save dialog's
// initial name, the writer chosen for a file, the writer's result texts,
// and the wallpaper file and desktop settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The save dialog's initial file name: the foreground's source name cut to
// the dialog's 259 characters, without its extension (the last '.' of its
// file-name part and what follows).
std::string InitialSaveName(std::string_view foregroundName);

// The writer operations in their slot order.
enum class SaveFormat { Bmp, Png, Jpeg };

// By the text after the last '.' of the chosen file's title (the whole
// title when it has none), ignoring ASCII case: "PNG" → Png, "JPG" → Jpeg,
// anything else → Bmp.
SaveFormat SaveFormatForTitle(std::string_view fileTitle);

// The message for a writer result code (0 to 10; any other value reads
// "not supported"), in code page 932.
const char* ResultText(int32_t code);

// The wallpaper file: the Windows folder, a backslash unless the folder
// already ends in one or in '/', then "Susie_", the user name, "_WP.BMP".
std::string WallpaperPath(std::string_view windowsDirectory, std::string_view userName);

// The view's three wallpaper commands.
enum class WallpaperCommand : int { Centre = 32783, Tile = 32784, Stretch = 32785 };

// The desktop values a wallpaper command writes.
struct WallpaperSettings {
  std::string tileWallpaper;   // "1" to tile, else "0"
  std::string wallpaperStyle;  // decimal
};

// `oldStyle` is the WallpaperStyle value read before writing, or nullopt
// when it could not be read. Centre clears bit 1 of the old style (0 when
// unreadable); tile and stretch set it (2 when unreadable).
WallpaperSettings WallpaperSettingsFor(WallpaperCommand command, std::optional<std::string_view> oldStyle);
