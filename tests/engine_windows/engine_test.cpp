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

// xxgrp.dll of this width, loaded by the test for as long as it lives, and
// the writer object that it hands out to every caller.
class OwnWriter {
 public:
  OwnWriter() : module_(LoadLibraryA((DistFolder() + "\\xxgrp.dll").c_str())) {
    const auto getModuleInstance = reinterpret_cast<GetModuleInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetModuleInstance")));
    object_ = getModuleInstance ? getModuleInstance(0) : nullptr;
  }
  ~OwnWriter() { FreeLibrary(module_); }
  OwnWriter(const OwnWriter&) = delete;
  OwnWriter& operator=(const OwnWriter&) = delete;
  ImageWriter* object() const { return object_; }

 private:
  HMODULE module_;
  ImageWriter* object_;
};

TEST(ImageWriterBinding, AppendsTheLoadedLibraryLastAndClearsTwoFlagBits) {
  const OwnWriter own;
  ImageWriter* object = own.object();
  ASSERT_TRUE(object);
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
}

// A name beside `folder` that the ANSI code page holds, with a letter
// beyond ASCII: é in 1252, 表 in 932.
std::string AnsiHoldableName(const std::string& folder, const char* extension) {
  return folder + (GetACP() == 932 ? u8"\\表" : u8"\\caf\u00E9") + extension;
}

// Another writer in xxgrp.dll's place, with three entries and every flag
// bit set: each save reaches its own entry by an ANSI path, a path without
// one is a write error, and no fourth entry is ever read (its table ends
// before a page that faults).
TEST(ImageWriterBinding, AWriterWithThreeEntriesGetsAnsiPathsWhateverItsFlags) {
  PluginList plugins;
  ImageWriterBinding writer;
  ASSERT_TRUE(writer.Bind(plugins, platform::Utf16(FakesFolder() + "\\three-entry-writer")));
  const std::string folder = NewFolder("three-entry-writer");
  const BitmapInfoHeader header = MakeBitmapInfoHeader(1, 1, 24);
  const uint8_t pixels[4] = {};
  const struct {
    SaveFormat format;
    int32_t option;
    const char* extension;
    const char* written;
  } saves[] = {{SaveFormat::Bmp, kWriterOptionSave, ".bmp", "SaveBmp 0"},
               {SaveFormat::Png, kWriterOptionSave, ".png", "SavePng 0"},
               {SaveFormat::Jpeg, kWriterOptionSave, ".jpg", "SaveJpeg 0"},
               {SaveFormat::Bmp, kWriterOptionWallpaper, ".wallpaper.bmp", "SaveBmp 2"}};
  for (const auto& save : saves) {
    const std::string path = AnsiHoldableName(folder, save.extension);
    ASSERT_EQ(writer.Save(save.format, path.c_str(), save.option, header, pixels), kWriterOk) << save.extension;
    const Bytes written = ReadFileBytes(path);
    EXPECT_EQ(std::string(written.begin(), written.end()), save.written);
  }
  for (SaveFormat format : {SaveFormat::Bmp, SaveFormat::Png, SaveFormat::Jpeg}) {
    const std::string path = folder + u8"\\\u2603 \uD55C\uAE00.bmp";
    EXPECT_EQ(writer.Save(format, path.c_str(), kWriterOptionSave, header, pixels), kWriterWriteError);
    EXPECT_EQ(GetFileAttributesW(platform::Utf16(path).c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

// xxgrp.dll's wide saves come through their own export: a path in any
// script is written, whatever its flags word says.
TEST(ImageWriterBinding, TheWideSavesDoNotDependOnTheFlagsWord) {
  const OwnWriter own;
  ImageWriter* object = own.object();
  ASSERT_TRUE(object);
  const uint32_t flags = object->flags;
  object->flags = 0;
  PluginList plugins;
  ImageWriterBinding writer;
  ASSERT_TRUE(writer.Bind(plugins, platform::Utf16(DistFolder())));
  const std::string folder = NewFolder(u8"\uD55C\uAE00 \u2603 \u30C6\u30B9\u30C8");
  const Picture picture = GradientPicture(5, 4, 3);
  const BitmapInfoHeader header = MakeBitmapInfoHeader(picture.width, picture.height, 24);
  const Bytes rows = ExpectedBits(picture);
  const std::string path = folder + u8"\\\u2603.png";
  EXPECT_EQ(writer.Save(SaveFormat::Png, path.c_str(), kWriterOptionSave, header, rows.data()), kWriterOk);
  const Bytes png = ReadFileBytes(path);
  ASSERT_GE(png.size(), 4u);
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
  object->flags = flags;
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
