// The rules of the output commands that need no window: the save dialog's
// initial name, the writer chosen for a file, the writer's result texts,
// and the wallpaper file and desktop settings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The save dialog's initial file name: the foreground's source name cut to
// the dialog's 259 characters (UTF-16 units, between two characters),
// without its extension (the last '.' of its file-name part and what
// follows).
std::string InitialSaveName(std::string_view foregroundName);

// The writer operations in their slot order.
enum class SaveFormat { Bmp, Png, Jpeg };

// By the text after the last '.' of the chosen file's title (the whole
// title when it has none), ignoring ASCII case: "PNG" → Png; "JPG", "JPEG",
// "JPE" and "JFIF" → Jpeg; anything else → Bmp.
SaveFormat SaveFormatForTitle(std::string_view fileTitle);

// Which of the writer's result texts tells a result code: the code itself
// for 0 to 10, 11 ("not supported") for any other value. The texts are the
// string table's, from its first writer result on.
int ResultTextIndex(int32_t code);

// The wallpaper file in a folder (the Windows folder, or the user's own):
// the folder, a backslash unless it already ends in one or in '/', then
// "Susie_", the user name, "_WP.BMP".
std::string WallpaperPath(std::string_view folder, std::string_view userName);

// A place for the wallpaper file: its path, and the folder to make before
// it is written there (empty for a folder of the system's own).
struct WallpaperPlace {
  std::string path;
  std::string folder;
};

// The Windows folder first, where Susie hosts keep the wallpaper. A
// standard account cannot write there, so then the same file goes into a
// folder "Trellin" of the user's own local application data. A folder the
// system does not name (empty) gives no place.
std::vector<WallpaperPlace> WallpaperPlaces(std::string_view windowsDirectory, std::string_view localAppData,
                                            std::string_view userName);

// Writes the file at the first place that takes it: its folder is made
// first where it has one, then `write` is tried. The path written, or
// nothing when no place took it.
std::optional<std::string> WriteAtFirstPlace(const std::vector<WallpaperPlace>& places,
                                             const std::function<bool(const std::string& folder)>& makeFolder,
                                             const std::function<bool(const std::string& path)>& write);

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
