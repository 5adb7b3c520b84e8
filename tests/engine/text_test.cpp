// Texts and rules of the caption and the output commands: UTF-8 paths, the
// save name and writer choice, result texts, the wallpaper file's places and
// the desktop values.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>

#include "viewer/engine/caption.h"
#include "viewer/engine/output_rules.h"
#include "viewer/engine/path_text.h"

namespace {

// 表, whose second byte in code page 932 is that of a backslash; in UTF-8
// no byte of it is.
const std::string kHyou = u8"表";
// A character beyond U+FFFF: one UTF-16 unit more than it looks.
const std::string kSnowmanFace = u8"\U0001F60A";

TEST(FileNamePart, TextAfterTheLastBackslash) {
  EXPECT_EQ(FileNamePart("C:\\pics\\fore.px"), "fore.px");
  EXPECT_EQ(FileNamePart("fore.px"), "fore.px");
  EXPECT_EQ(FileNamePart("C:\\pics\\"), "");
  EXPECT_EQ(FileNamePart("C:\\pics\\" + kHyou + ".px"), kHyou + ".px");
  EXPECT_EQ(FileNamePart("C:\\" + kHyou + "\\a.px"), "a.px");
  EXPECT_EQ(FileNamePart(kHyou + kHyou), kHyou + kHyou);
  EXPECT_EQ(FileNamePart(u8"C:\\한글 ☃ テスト\\a.tga"), "a.tga");
}

TEST(Utf16Length, CountsWhatAWindowsBufferHolds) {
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length(kHyou), 1u);
  EXPECT_EQ(Utf16Length(u8"한글 ☃"), 4u);
  EXPECT_EQ(Utf16Length(kSnowmanFace), 2u);
  EXPECT_EQ(Utf16Length("\xE8\xA1"), 2u) << "a cut character counts byte by byte";
  EXPECT_EQ(Utf16Length("\xF8\x80\x80\x80"), 4u) << "no lead byte";
  EXPECT_EQ(CutToUtf16Length("a" + kSnowmanFace + "b", 2), "a") << "a pair is never split";
  EXPECT_EQ(CutToUtf16Length("a" + kSnowmanFace + "b", 3), "a" + kSnowmanFace);
  EXPECT_EQ(CutToUtf16Length(kHyou + kHyou, 1), kHyou);
}

TEST(BuildCaption, NamesAndSizesOfThePicturesPresent) {
  const CaptionPicture fore{"C:\\pics\\" + std::string("sprite.px"), 640, 480, 32};
  const CaptionPicture back{"D:\\" + kHyou + "\\" + kHyou + ".bmp", 800, 600, 24};
  EXPECT_EQ(BuildCaption("Trellin", std::nullopt, std::nullopt), "Trellin");
  EXPECT_EQ(BuildCaption("Trellin", fore, std::nullopt), "Trellin - sprite.px (640x480x32 bit)");
  EXPECT_EQ(BuildCaption("Trellin", std::nullopt, back), "Trellin / " + kHyou + ".bmp (800x600x24 bit)");
  EXPECT_EQ(BuildCaption("Trellin", fore, back),
            "Trellin - sprite.px (640x480x32 bit) / " + kHyou + ".bmp (800x600x24 bit)");
  const CaptionPicture pasted{"[None title]", -1, 2147483647, 32};
  EXPECT_EQ(BuildCaption("Trellin", pasted, std::nullopt), "Trellin - [None title] (-1x2147483647x32 bit)");
}

TEST(InitialSaveName, WithoutTheExtension) {
  EXPECT_EQ(InitialSaveName("C:\\pics\\fore.px"), "C:\\pics\\fore");
  EXPECT_EQ(InitialSaveName("C:\\pics\\fore.tar.gz"), "C:\\pics\\fore.tar");
  EXPECT_EQ(InitialSaveName("[None title]"), "[None title]");
  EXPECT_EQ(InitialSaveName("C:\\pics\\fore."), "C:\\pics\\fore");
  // A dot in a folder name only is no extension.
  EXPECT_EQ(InitialSaveName("C:\\my.pics\\fore"), "C:\\my.pics\\fore");
  EXPECT_EQ(InitialSaveName("C:\\" + kHyou + ".d\\" + kHyou + ".px"), "C:\\" + kHyou + ".d\\" + kHyou);
}

TEST(InitialSaveName, AtMost259Characters) {
  const std::string longName = "C:\\" + std::string(300, 'a') + ".px";
  EXPECT_EQ(InitialSaveName(longName), longName.substr(0, 259));
  // Counted in UTF-16 units; the cut never splits a character, and a dot
  // past it does not count.
  const std::string straddling = std::string(258, 'b') + kSnowmanFace + ".px";
  EXPECT_EQ(InitialSaveName(straddling), std::string(258, 'b'));
  const std::string wide = std::string(200, 'b') + kHyou + kHyou + ".px";
  EXPECT_EQ(InitialSaveName(wide), std::string(200, 'b') + kHyou + kHyou);
  const std::string dotInside = std::string(250, 'c') + ".px" + std::string(20, 'd');
  EXPECT_EQ(InitialSaveName(dotInside), std::string(250, 'c'));
}

// Plug-ins are found by this: a plug-in renamed to switch it off keeps
// the extension inside its name, and its short alias may still end in it.
TEST(HasExtension, OnlyTheTextAfterTheLastDotOfTheFileName) {
  EXPECT_TRUE(HasExtension("C:\\Trellin\\Mornel.sph", "sph"));
  EXPECT_TRUE(HasExtension("MORNEL.SPH", "sph"));
  EXPECT_FALSE(HasExtension("off.sph_old", "sph"));
  EXPECT_FALSE(HasExtension("off.sph.old", "sph"));
  EXPECT_FALSE(HasExtension("C:\\a.sph\\plugin", "sph"));
  EXPECT_FALSE(HasExtension("sph", "sph"));
  EXPECT_TRUE(HasExtension("x.", ""));
}

TEST(SaveFormatForTitle, ByExtensionIgnoringCase) {
  EXPECT_EQ(SaveFormatForTitle("out.png"), SaveFormat::Png);
  EXPECT_EQ(SaveFormatForTitle("out.Png"), SaveFormat::Png);
  EXPECT_EQ(SaveFormatForTitle("out.JPG"), SaveFormat::Jpeg);
  EXPECT_EQ(SaveFormatForTitle("out.jpg"), SaveFormat::Jpeg);
  // Every extension of JPEG files: a ".jpeg" holding BMP bytes would be a
  // broken file.
  for (const char* title : {"out.jpeg", "out.JPEG", "out.jpe", "out.Jfif"})
    EXPECT_EQ(SaveFormatForTitle(title), SaveFormat::Jpeg) << title;
  EXPECT_EQ(SaveFormatForTitle("out.jpeg2000"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.bmp"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.png.bmp"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.pngx"), SaveFormat::Bmp);
}

// Each code from 0 to 10 has its own text; every other reads "not
// supported".
TEST(ResultTextIndex, OneTextPerCodeAndOneForTheRest) {
  for (int32_t code = 0; code <= 10; ++code) EXPECT_EQ(ResultTextIndex(code), code);
  for (int32_t code : {-1, 11, INT32_MIN, INT32_MAX}) EXPECT_EQ(ResultTextIndex(code), 11) << code;
}

TEST(WallpaperPath, InTheWindowsFolder) {
  EXPECT_EQ(WallpaperPath("C:\\WINDOWS", "bob"), "C:\\WINDOWS\\Susie_bob_WP.BMP");
  EXPECT_EQ(WallpaperPath("C:\\", "bob"), "C:\\Susie_bob_WP.BMP");
  EXPECT_EQ(WallpaperPath("/windows/", "bob"), "/windows/Susie_bob_WP.BMP");
  EXPECT_EQ(WallpaperPath("C:\\" + kHyou, kHyou), "C:\\" + kHyou + "\\Susie_" + kHyou + "_WP.BMP");
}

// The Windows folder first; where it cannot be written, the user's own
// folder, made first.
TEST(WallpaperPlaces, TheWindowsFolderThenTheUsersOwn) {
  const std::vector<WallpaperPlace> places = WallpaperPlaces("C:\\Windows", "C:\\Users\\bob\\AppData\\Local", "bob");
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].path, "C:\\Windows\\Susie_bob_WP.BMP");
  EXPECT_EQ(places[0].folder, "");
  EXPECT_EQ(places[1].path, "C:\\Users\\bob\\AppData\\Local\\Trellin\\Susie_bob_WP.BMP");
  EXPECT_EQ(places[1].folder, "C:\\Users\\bob\\AppData\\Local\\Trellin");
  EXPECT_EQ(WallpaperPlaces("C:\\Windows", "", "bob").size(), 1u) << "no folder of the user's";
  EXPECT_EQ(WallpaperPlaces("", "D:\\", "bob").size(), 1u) << "no Windows folder";

  std::vector<std::string> tried, made;
  const auto make = [&](const std::string& folder) {
    made.push_back(folder);
    return true;
  };
  const auto writable = [&](std::initializer_list<std::string> paths) {
    return [&tried, paths = std::vector<std::string>(paths)](const std::string& path) {
      tried.push_back(path);
      return std::find(paths.begin(), paths.end(), path) != paths.end();
    };
  };
  EXPECT_EQ(WriteAtFirstPlace(places, make, writable({places[0].path, places[1].path})), places[0].path);
  EXPECT_EQ(tried, std::vector<std::string>{places[0].path});
  EXPECT_TRUE(made.empty()) << "nothing made in the user's folder while Windows' takes the file";

  tried.clear();
  EXPECT_EQ(WriteAtFirstPlace(places, make, writable({places[1].path})), places[1].path) << "a standard account";
  EXPECT_EQ(tried, (std::vector<std::string>{places[0].path, places[1].path}));
  EXPECT_EQ(made, std::vector<std::string>{places[1].folder});

  EXPECT_EQ(WriteAtFirstPlace(places, make, writable({})), std::nullopt);
  EXPECT_EQ(WriteAtFirstPlace(
                places, [](const std::string&) { return false; }, writable({places[1].path})),
            std::nullopt)
      << "a folder that cannot be made";
}

struct WallpaperCase {
  WallpaperCommand command;
  std::optional<std::string_view> oldStyle;
  const char* tile;
  const char* style;
};

TEST(WallpaperSettings, TileFlagAndStyleBits) {
  const WallpaperCase cases[] = {
      {WallpaperCommand::Centre, std::nullopt, "0", "0"},
      {WallpaperCommand::Tile, std::nullopt, "1", "2"},
      {WallpaperCommand::Stretch, std::nullopt, "0", "2"},
      {WallpaperCommand::Centre, "2", "0", "0"},
      {WallpaperCommand::Centre, "6", "0", "4"},
      {WallpaperCommand::Centre, "10", "0", "8"},
      {WallpaperCommand::Tile, "0", "1", "2"},
      {WallpaperCommand::Tile, "5", "1", "7"},
      {WallpaperCommand::Stretch, "22", "0", "22"},
      {WallpaperCommand::Stretch, "12 px", "0", "14"},  // leading digits only
      {WallpaperCommand::Stretch, "", "0", "2"},        // readable, no digits: 0
      {WallpaperCommand::Centre, "x7", "0", "0"},
      {WallpaperCommand::Stretch, "99999999999", "0", "2147483647"},
  };
  for (const WallpaperCase& c : cases) {
    const WallpaperSettings s = WallpaperSettingsFor(c.command, c.oldStyle);
    EXPECT_EQ(s.tileWallpaper, c.tile) << static_cast<int>(c.command) << " " << c.oldStyle.value_or("(unreadable)");
    EXPECT_EQ(s.wallpaperStyle, c.style) << static_cast<int>(c.command) << " " << c.oldStyle.value_or("(unreadable)");
  }
}

}  // namespace
