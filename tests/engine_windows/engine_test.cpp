// The engine with the real plug-in and image writer of this width: the
// writer's binding, pictures opened through the plug-ins into the
// document, composites written and read back, the composite surface and
// the wallpaper.
#include <gtest/gtest.h>

#include "platform/windows/text.h"
#include "tests/engine_windows/support.h"
#include "tests/fixtures/tga_writer.h"
#include "tests/xxgrp/image_files.h"
#include "viewer/engine/compose.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/output.h"
#include "viewer/engine/windows/image_writer_binding.h"
#include "viewer/engine/windows/wallpaper.h"
#include "viewer/shell/composite_surface.h"

namespace {

constexpr uint32_t kDefaultFlags = PluginList::kUnloadAfterProbe | PluginList::kAcceptImage;

// Bound only from the folder it is given: a library of that name in the
// current folder (the pictures' folder, after a file dialog) is not taken.
TEST(ImageWriterBinding, ALibraryBesideThePicturesIsNotTaken) {
  const std::string pictures = NewFolder("pictures-with-a-writer");
  CopyInto(DistFolder() + "\\xxgrp.dll", pictures);
  CurrentFolder in(pictures);
  PluginList plugins;
  plugins.Search(kDefaultFlags, platform::Utf16(NewFolder("program-without-plugins")), nullptr);
  ImageWriterBinding writer;
  EXPECT_FALSE(writer.Bind(plugins, platform::Utf16(NewFolder("program-without-writer"))));
  EXPECT_FALSE(writer.IsBound());
  EXPECT_TRUE(plugins.records().empty()) << "the list is left alone";
}

TEST(ImageWriterBinding, AppendsTheLoadedLibraryLastAndClearsTwoFlagBits) {
  HMODULE own = LoadLibraryA((DistFolder() + "\\xxgrp.dll").c_str());
  ASSERT_TRUE(own);
  const auto getModuleInstance =
      reinterpret_cast<GetModuleInstanceFn>(reinterpret_cast<void*>(GetProcAddress(own, "GetModuleInstance")));
  ImageWriter* object = getModuleInstance(0);
  object->flags = 0xFFFFFFFF;
  {
    PluginList plugins;
    plugins.Search(kDefaultFlags, platform::Utf16(DistFolder()), nullptr);
    ImageWriterBinding writer;
    ASSERT_TRUE(writer.Bind(plugins, platform::Utf16(DistFolder())));
    ASSERT_EQ(plugins.records().size(), 2u) << "the image plug-in, then the writer";
    EXPECT_EQ(platform::Utf8(plugins.records()[1].path()), DistFolder() + "\\xxgrp.dll");
    EXPECT_TRUE(plugins.records()[1].IsLoaded());
    EXPECT_EQ(object->flags, 0xFFFFFFFCu);
  }
  FreeLibrary(own);
}

// The real plug-ins and writer, searched and bound as the viewer does it.
class EngineTest : public testing::Test {
 protected:
  void SetUp() override {
    files_ = NewFolder("pictures");
    plugins_.Search(kDefaultFlags, platform::Utf16(DistFolder()), nullptr);
    ASSERT_TRUE(writer_.Bind(plugins_, platform::Utf16(DistFolder())));
  }
  std::string File(const std::string& name, const Bytes& bytes) {
    const std::string path = files_ + "\\" + name;
    WriteFileBytes(path, bytes);
    return path;
  }

  std::string files_;
  PluginList plugins_;
  ImageWriterBinding writer_;
  ImageDocument document_{plugins_};
};

// A sprite through the game plug-in over a PNG photo through the writer's
// library, written in the three formats and read back through the plug-ins.
TEST_F(EngineTest, ASpriteOverAPngIsWrittenInEveryFormat) {
  Picture sprite = SpritePicture(24, 16);
  const std::string spritePath = File("sprite.tga", WriteTga(TgaFile{sprite}));
  const Picture photo = GradientPicture(40, 30, 3);
  ASSERT_EQ(document_.OpenImage(File("photo.png", WritePng(photo)).c_str(), kMayBeBackground), SpiResult::Ok);
  ASSERT_EQ(document_.OpenImage(spritePath.c_str(), kMayBeForeground), SpiResult::Ok);
  EXPECT_EQ(document_.Caption("Trellin"), "Trellin - sprite.tga (24x16x32 bit) / photo.png (40x30x24 bit)");

  Bytes composite(document_.background().bytes);
  Compose(composite.data(), document_.background(), document_.foreground(), 3, 4);
  OutputPicture picture;
  ASSERT_TRUE(picture.Choose(document_, composite.data()));
  for (const char* name : {"out.bmp", "out.png", "out.jpg"}) {
    const std::string path = files_ + "\\" + name;
    ASSERT_EQ(
        writer_.Save(SaveFormatForTitle(name), path.c_str(), kWriterOptionSave, picture.header(), picture.pixels()),
        kWriterOk);
    ImageDocument readBack(plugins_);
    ASSERT_EQ(readBack.OpenImage(path.c_str(), kMayBeBackground), SpiResult::Ok) << name;
    const Bgr24View b = readBack.background();
    ASSERT_EQ(b.width, 40);
    ASSERT_EQ(b.height, 30);
    int largest = 0;
    for (size_t i = 0; i < composite.size(); ++i) largest = std::max(largest, std::abs(b.pixels[i] - composite[i]));
    EXPECT_LE(largest, std::string(name) == "out.jpg" ? 48 : 0) << name;
  }
  const Bytes png = ReadFileBytes(files_ + "\\out.png"), jpeg = ReadFileBytes(files_ + "\\out.jpg");
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
  EXPECT_EQ(Bytes(jpeg.begin(), jpeg.begin() + 2), (Bytes{0xFF, 0xD8}));
}

TEST_F(EngineTest, APngWithAlphaBecomesAForeground) {
  const Picture sprite = SpritePicture(8, 8);
  ASSERT_EQ(document_.OpenImage(File("sprite.png", WritePng(sprite)).c_str(), kMayBeBackground | kMayBeForeground),
            SpiResult::Ok);
  EXPECT_TRUE(document_.HasForeground());
  EXPECT_FALSE(document_.HasBackground());
}

TEST_F(EngineTest, TheCompositeSurfaceHasTheBackgroundsSize) {
  ASSERT_EQ(
      document_.OpenImage(File("scene.tga", WriteTga(TgaFile{GradientPicture(33, 7, 3)})).c_str(), kMayBeBackground),
      SpiResult::Ok);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CompositeSurface surface;
  ASSERT_EQ(surface.Create(window, document_.backgroundHeader()), SpiResult::Ok);
  BITMAP bitmap;
  ASSERT_TRUE(GetObjectA(surface.bitmap(), sizeof bitmap, &bitmap));
  EXPECT_EQ(bitmap.bmWidth, 33);
  EXPECT_EQ(bitmap.bmHeight, 7);
  EXPECT_EQ(bitmap.bmBitsPixel, 24);
  ASSERT_TRUE(surface.pixels());
  surface.Delete();
  EXPECT_FALSE(surface.Exists());
  DestroyWindow(window);
}

// The three wallpaper commands: the file under the Windows folder, and the
// desktop values with the old style readable and not.
TEST_F(EngineTest, WallpaperFileAndDesktopValues) {
  ASSERT_EQ(
      document_.OpenImage(File("scene.tga", WriteTga(TgaFile{GradientPicture(5, 4, 3)})).c_str(), kMayBeBackground),
      SpiResult::Ok);
  OutputPicture picture;
  ASSERT_TRUE(picture.Choose(document_, nullptr));
  HKEY desktop;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &desktop, nullptr),
            ERROR_SUCCESS);
  const auto value = [&](const char* name) {
    char text[64] = {};
    DWORD size = sizeof text - 1;
    RegQueryValueExA(desktop, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    return std::string(text);
  };
  const auto style = [&](const char* text) {
    RegSetValueExA(desktop, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
  };
  struct Case {
    WallpaperCommand command;
    const char* oldStyle;  // null: no value
    const char* tile;
    const char* newStyle;
  } cases[] = {
      {WallpaperCommand::Centre, "7", "0", "5"},  {WallpaperCommand::Centre, nullptr, "0", "0"},
      {WallpaperCommand::Tile, "1", "1", "3"},    {WallpaperCommand::Tile, nullptr, "1", "2"},
      {WallpaperCommand::Stretch, "4", "0", "6"}, {WallpaperCommand::Stretch, nullptr, "0", "2"},
  };
  for (const Case& c : cases) {
    if (c.oldStyle) {
      style(c.oldStyle);
    } else {
      RegDeleteValueA(desktop, "WallpaperStyle");
    }
    ASSERT_TRUE(SetWallpaper(writer_, picture, c.command));
    EXPECT_EQ(value("TileWallpaper"), c.tile) << static_cast<int>(c.command);
    EXPECT_EQ(value("WallpaperStyle"), c.newStyle)
        << static_cast<int>(c.command) << " " << (c.oldStyle ? c.oldStyle : "-");
    EXPECT_EQ(value("WallpaperOriginX"), "0");
    EXPECT_EQ(value("WallpaperOriginY"), "0");
  }
  RegCloseKey(desktop);
  char windows[MAX_PATH], user[MAX_PATH];
  DWORD userLength = sizeof user;
  GetWindowsDirectoryA(windows, sizeof windows);
  GetUserNameA(user, &userLength);
  const Bytes file = ReadFileBytes(std::string(windows) + "\\Susie_" + user + "_WP.BMP");
  ASSERT_GT(file.size(), 54u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
}

}  // namespace
