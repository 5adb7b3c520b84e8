// Texts and rules of the caption and the output commands: code page 932
// paths, the save name and writer choice, result texts, wallpaper file and
// desktop values.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "viewer/engine/caption.h"
#include "viewer/engine/output_rules.h"
#include "viewer/engine/path_text.h"

namespace {

// 表 in code page 932 is 0x95 0x5C: its second byte is a backslash.
const std::string kHyou = "\x95\x5C";

TEST(FileNamePart, TextAfterTheLastBackslash) {
  EXPECT_EQ(FileNamePart("C:\\pics\\fore.px"), "fore.px");
  EXPECT_EQ(FileNamePart("fore.px"), "fore.px");
  EXPECT_EQ(FileNamePart("C:\\pics\\"), "");
  EXPECT_EQ(FileNamePart("C:\\pics\\" + kHyou + ".px"), kHyou + ".px");
  EXPECT_EQ(FileNamePart("C:\\" + kHyou + "\\a.px"), "a.px");
  EXPECT_EQ(FileNamePart(kHyou + kHyou), kHyou + kHyou);
  // A lead byte as the last byte stands alone.
  EXPECT_EQ(FileNamePart("C:\\x\x95"), "x\x95");
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
  // The cut never splits a two-byte character; a dot past it does not count.
  const std::string straddling = std::string(258, 'b') + kHyou + ".px";
  EXPECT_EQ(InitialSaveName(straddling), std::string(258, 'b'));
  const std::string dotInside = std::string(250, 'c') + ".px" + std::string(20, 'd');
  EXPECT_EQ(InitialSaveName(dotInside), std::string(250, 'c'));
}

TEST(SaveFormatForTitle, ByExtensionIgnoringCase) {
  EXPECT_EQ(SaveFormatForTitle("out.png"), SaveFormat::Png);
  EXPECT_EQ(SaveFormatForTitle("out.Png"), SaveFormat::Png);
  EXPECT_EQ(SaveFormatForTitle("out.JPG"), SaveFormat::Jpeg);
  EXPECT_EQ(SaveFormatForTitle("out.jpg"), SaveFormat::Jpeg);
  EXPECT_EQ(SaveFormatForTitle("out.jpeg"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.bmp"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.png.bmp"), SaveFormat::Bmp);
  EXPECT_EQ(SaveFormatForTitle("out.pngx"), SaveFormat::Bmp);
}

// Every text is a run of complete two-byte characters (so no escape in
// the table swallowed or dropped a byte), each code has its own, and
// every code outside 0 to 10 reads "not supported".
TEST(ResultText, OneTextPerCodeInCodePage932) {
  std::set<std::string> texts;
  for (int32_t code = 0; code <= 10; ++code) {
    const std::string text = ResultText(code);
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.size() % 2, 0u) << code;
    for (size_t i = 0; i < text.size(); i += 2) {
      EXPECT_TRUE(IsCp932LeadByte(static_cast<unsigned char>(text[i]))) << code;
      EXPECT_GE(static_cast<unsigned char>(text[i + 1]), 0x40) << code;
    }
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), 11u);
  EXPECT_EQ(std::string(ResultText(0)), "\x90\xb3\x8f\xed\x8f\x49\x97\xb9");           // 正常終了
  const std::string unsupported = "\x96\xa2\x91\xce\x89\x9e\x82\xcc\x8b\x40\x94\x5c";  // 未対応の機能
  EXPECT_EQ(texts.count(unsupported), 0u);
  for (int32_t code : {-1, 11, INT32_MIN, INT32_MAX}) EXPECT_EQ(ResultText(code), unsupported) << code;
}

TEST(WallpaperPath, InTheWindowsFolder) {
  EXPECT_EQ(WallpaperPath("C:\\WINDOWS", "bob"), "C:\\WINDOWS\\Susie_bob_WP.BMP");
  EXPECT_EQ(WallpaperPath("C:\\", "bob"), "C:\\Susie_bob_WP.BMP");
  EXPECT_EQ(WallpaperPath("/windows/", "bob"), "/windows/Susie_bob_WP.BMP");
  // A folder ending in 表 ends in a character, not in a backslash.
  EXPECT_EQ(WallpaperPath("C:\\" + kHyou, "bob"), "C:\\" + kHyou + "\\Susie_bob_WP.BMP");
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
