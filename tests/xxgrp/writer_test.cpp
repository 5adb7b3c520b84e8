// The image writer of xxgrp.dll, called the way the viewer calls it:
// GetModuleInstance(0), then through the object's table with the object
// as first argument.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which they build.
#include <aclapi.h>
#include <sddl.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "tests/xxgrp/wic_codec.h"
#include "tests/xxgrp/writer_library.h"

namespace fs = std::filesystem;

namespace {

enum class Slot { Bmp, Png, Jpeg };
constexpr Slot kSlots[] = {Slot::Bmp, Slot::Png, Slot::Jpeg};

ImageWriter* Writer() { return GetModuleInstanceExport()(0); }

ImageWriterSaveFn Operation(Slot slot) {
  const ImageWriterTable* table = Writer()->table;
  return slot == Slot::Bmp ? table->SaveBmp : slot == Slot::Png ? table->SavePng : table->SaveJpeg;
}

int32_t Save(Slot slot, const std::string& path, const void* header, const void* pixels, int32_t option = 0) {
  ImageWriter* writer = Writer();
  return Operation(slot)(writer, path.c_str(), option, header, pixels);
}

const char* Extension(Slot slot) { return slot == Slot::Bmp ? ".bmp" : slot == Slot::Png ? ".png" : ".jpg"; }
const char* Container(Slot slot) { return slot == Slot::Bmp ? "bmp" : slot == Slot::Png ? "png" : "jpeg"; }

// A picture as the viewer hands it over: header and padded rows.
struct Dib {
  BITMAPINFOHEADER header{};
  Bytes rows;
};

// Rows bottom-up, or top-down with a negative height.
Dib MakeDib(const Picture& picture, bool topDown = false) {
  Dib dib;
  dib.header.biSize = sizeof(BITMAPINFOHEADER);
  dib.header.biWidth = picture.width;
  dib.header.biHeight = topDown ? -picture.height : picture.height;
  dib.header.biPlanes = 1;
  dib.header.biBitCount = static_cast<WORD>(picture.bytesPerPixel * 8);
  dib.header.biCompression = BI_RGB;
  dib.rows = ExpectedBits(picture);
  if (topDown) {
    Picture flipped = picture;
    for (int y = 0; y < picture.height; ++y)
      std::copy(picture.At(0, y), picture.At(0, y) + picture.width * picture.bytesPerPixel,
                flipped.At(0, picture.height - 1 - y));
    dib.rows = ExpectedBits(flipped);
  }
  return dib;
}

Picture WithoutAlpha(const Picture& bgra) {
  Picture bgr{bgra.width, bgra.height, 3, {}};
  for (size_t i = 0; i < bgra.pixels.size(); i += 4)
    bgr.pixels.insert(bgr.pixels.end(), bgra.pixels.begin() + i, bgra.pixels.begin() + i + 3);
  return bgr;
}

// A new empty folder for one test.
class TempFolder {
 public:
  TempFolder()
      : path_(fs::temp_directory_path() /
              ("xxgrp-writer-" + std::to_string(GetTickCount()) + "-" + std::to_string(counter_++))) {
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::all, ignored);
    for (const auto& entry : fs::directory_iterator(path_, ignored))
      SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
    return names;
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Pixel-exact for BMP and PNG; JPEG within a few levels on smooth pictures.
void ExpectReadsBackAs(Slot slot, const std::string& path, const Picture& expected) {
  EXPECT_EQ(ContainerOf(path), Container(slot));
  const Picture back = ReadBackBgr(path);
  ASSERT_EQ(back.width, expected.width);
  ASSERT_EQ(back.height, expected.height);
  if (slot != Slot::Jpeg) {
    EXPECT_EQ(back.pixels, expected.pixels) << path;
    return;
  }
  long total = 0;
  for (size_t i = 0; i < back.pixels.size(); ++i) total += std::abs(back.pixels[i] - expected.pixels[i]);
  EXPECT_LE(static_cast<double>(total) / back.pixels.size(), 4.0) << path;
}

TEST(XxgrpWriterObject, TableFirstThenTheFlagsWord) {
  ImageWriter* writer = Writer();
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(GetModuleInstanceExport()(0), writer);
  void* const* words = reinterpret_cast<void* const*>(writer);
  EXPECT_EQ(words[0], writer->table);
  EXPECT_EQ(reinterpret_cast<const char*>(&writer->flags) - reinterpret_cast<const char*>(writer), sizeof(void*));
  for (Slot slot : kSlots) {
    HMODULE owner = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<const char*>(Operation(slot)), &owner));
    EXPECT_EQ(owner, XxgrpModule());
  }
}

// The wide saves come through their own export, for the library's own
// writer only; viewers of the earlier release find the same three after
// the table's three, as the flags word tells them.
TEST(XxgrpWriterObject, WideSavesThroughTheirOwnExport) {
  ImageWriter* writer = Writer();
  ASSERT_TRUE(GetImageWriterWExport());
  const ImageWriterWideSaves* saves = GetImageWriterWExport()(writer);
  ASSERT_NE(saves, nullptr);
  for (ImageWriterSaveWideFn save : {saves->SaveBmpW, saves->SavePngW, saves->SaveJpegW}) {
    HMODULE owner = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<const char*>(save), &owner));
    EXPECT_EQ(owner, XxgrpModule());
  }
  const ImageWriter other = *writer;
  EXPECT_EQ(GetImageWriterWExport()(&other), nullptr);
  EXPECT_EQ(GetImageWriterWExport()(nullptr), nullptr);

  EXPECT_TRUE(writer->flags & kWriterFlagWidePaths);
  const auto& table = *reinterpret_cast<const ImageWriterWideTable*>(writer->table);
  EXPECT_EQ(table.wide.SaveBmpW, saves->SaveBmpW);
  EXPECT_EQ(table.wide.SavePngW, saves->SavePngW);
  EXPECT_EQ(table.wide.SaveJpegW, saves->SaveJpegW);
}

// A path in any script through the wide operations; through the ANSI ones,
// a path the ANSI code page holds, with a letter beyond ASCII.
TEST(XxgrpWriter, PathsBeyondAscii) {
  TempFolder folder;
  const std::wstring unicode = fs::path(folder.File("")).wstring() + L"\uD55C\uAE00 \u2603 \u30C6\u30B9\u30C8";
  ASSERT_TRUE(CreateDirectoryW(unicode.c_str(), nullptr));
  const Dib dib = MakeDib(GradientPicture(5, 4, 3));
  const ImageWriterWideSaves& saves = *GetImageWriterWExport()(Writer());
  // Each file by the signature it starts with.
  const struct {
    ImageWriterSaveWideFn save;
    const wchar_t* name;
    Bytes signature;
  } wide[] = {{saves.SaveBmpW, L"\\a.bmp", {'B', 'M'}},
              {saves.SavePngW, L"\\a.png", {0x89, 'P', 'N', 'G'}},
              {saves.SaveJpegW, L"\\a.jpg", {0xFF, 0xD8}}};
  for (const auto& w : wide) {
    const std::wstring path = unicode + w.name;
    ASSERT_EQ(w.save(Writer(), path.c_str(), 0, &dib.header, dib.rows.data()), 0);
    Bytes start(w.signature.size());
    if (FILE* in = _wfopen(path.c_str(), L"rb")) {
      start.resize(std::fread(start.data(), 1, start.size(), in));
      std::fclose(in);
    }
    EXPECT_EQ(start, w.signature);
  }
  // A letter of the ANSI code page: é in 1252, 表 in 932.
  const wchar_t letter = GetACP() == 932 ? L'\u8868' : L'\u00E9';
  const std::wstring name = fs::path(folder.File("")).wstring() + L"caf" + letter + L".png";
  char ansi[MAX_PATH];
  BOOL replaced = FALSE;
  ASSERT_GT(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, ansi, MAX_PATH, nullptr, &replaced), 0);
  ASSERT_FALSE(replaced);
  EXPECT_EQ(Save(Slot::Png, ansi, &dib.header, dib.rows.data()), 0);
  EXPECT_NE(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES) << "under its own name";
  for (const auto& w : wide) DeleteFileW((unicode + w.name).c_str());
  RemoveDirectoryW(unicode.c_str());
}

TEST(XxgrpWriterObject, SavesAfterTheViewerClearsItsFlagBits) {
  Writer()->flags &= ~3u;
  TempFolder folder;
  const Dib dib = MakeDib(GradientPicture(5, 4, 3));
  EXPECT_EQ(Save(Slot::Bmp, folder.File("a.bmp"), &dib.header, dib.rows.data()), 0);
}

#if defined(__i386__)
// Each call pushes its arguments as a stdcall caller does; a function that
// did not remove them would leave them on the stack.
TEST(XxgrpWriterObject, OperationsAndExportsAreStdcall) {
  const StackCall instance = CallWithStackArguments(reinterpret_cast<const void*>(GetModuleInstanceExport()),
                                                    std::array<uint32_t, 1>{0}.data(), 1);
  EXPECT_EQ(instance.bytesLeft, 0u);
  EXPECT_EQ(reinterpret_cast<ImageWriter*>(instance.result), Writer());
  const uint32_t object = reinterpret_cast<uint32_t>(Writer());
  const StackCall wide = CallWithStackArguments(reinterpret_cast<const void*>(GetImageWriterWExport()), &object, 1);
  EXPECT_EQ(wide.bytesLeft, 0u);
  EXPECT_EQ(reinterpret_cast<const ImageWriterWideSaves*>(wide.result), GetImageWriterWExport()(Writer()));
  TempFolder folder;
  const Dib dib = MakeDib(GradientPicture(6, 3, 3));
  for (Slot slot : kSlots) {
    const std::string path = folder.File(std::string("stack") + Extension(slot));
    const uint32_t arguments[] = {reinterpret_cast<uint32_t>(Writer()), reinterpret_cast<uint32_t>(path.c_str()), 0,
                                  reinterpret_cast<uint32_t>(&dib.header), reinterpret_cast<uint32_t>(dib.rows.data())};
    const StackCall call = CallWithStackArguments(reinterpret_cast<const void*>(Operation(slot)), arguments, 5);
    EXPECT_EQ(call.bytesLeft, 0u);
    EXPECT_EQ(call.result, 0u);
    EXPECT_EQ(ContainerOf(path), Container(slot));
  }
}
#endif

// Saves the picture in every format, stored bottom-up or top-down, and
// reads each file back.
void ExpectEveryFormatReadsBack(const Picture& picture, bool topDown) {
  TempFolder folder;
  const Dib dib = MakeDib(picture, topDown);
  for (Slot slot : kSlots) {
    const std::string path = folder.File(std::string("every") + Extension(slot));
    ASSERT_EQ(Save(slot, path, &dib.header, dib.rows.data()), 0);
    ExpectReadsBackAs(slot, path, picture);
  }
}

TEST(XxgrpWriter, EveryFormatReadsBack) {
  ExpectEveryFormatReadsBack(GradientPicture(37, 21, 3), false);  // odd width: padded rows
}

TEST(XxgrpWriter, TopDownRowsComeOutTheRightWayUp) { ExpectEveryFormatReadsBack(GradientPicture(9, 14, 3), true); }

TEST(XxgrpWriter, ThirtyTwoBitInputLosesOnlyItsFourthByte) {
  TempFolder folder;
  const Picture picture = SpritePicture(16, 12);
  const Dib dib = MakeDib(picture);
  for (Slot slot : {Slot::Bmp, Slot::Png}) {
    const std::string path = folder.File(std::string("bgra") + Extension(slot));
    ASSERT_EQ(Save(slot, path, &dib.header, dib.rows.data()), 0);
    ExpectReadsBackAs(slot, path, WithoutAlpha(picture));
  }
}

TEST(XxgrpWriter, WallpaperOptionWritesTheSameFile) {
  TempFolder folder;
  const Dib dib = MakeDib(NoisePicture(11, 6, 3, 4));
  for (Slot slot : {Slot::Bmp, Slot::Png}) {
    const std::string saved = folder.File(std::string("saved") + Extension(slot));
    const std::string wallpaper = folder.File(std::string("wallpaper") + Extension(slot));
    ASSERT_EQ(Save(slot, saved, &dib.header, dib.rows.data(), kWriterOptionSave), 0);
    ASSERT_EQ(Save(slot, wallpaper, &dib.header, dib.rows.data(), kWriterOptionWallpaper), 0);
    EXPECT_EQ(ReadFile(saved), ReadFile(wallpaper));
  }
}

TEST(XxgrpWriter, ReplacesAnExistingFileWhole) {
  TempFolder folder;
  const std::string path = folder.File("replace.png");
  WriteText(path, std::string(100000, 'x'));
  const Picture picture = GradientPicture(8, 8, 3);
  const Dib dib = MakeDib(picture);
  ASSERT_EQ(Save(Slot::Png, path, &dib.header, dib.rows.data()), 0);
  EXPECT_LT(ReadFile(path).size(), 100000u);
  ExpectReadsBackAs(Slot::Png, path, picture);
  EXPECT_EQ(folder.Names(), std::set<std::string>{"replace.png"});
}

TEST(XxgrpWriter, MissingFolderIsAWriteErrorAndCreatesNothing) {
  TempFolder folder;
  const Dib dib = MakeDib(GradientPicture(4, 4, 3));
  for (Slot slot : kSlots)
    EXPECT_EQ(Save(slot, folder.File("missing\\picture") + Extension(slot), &dib.header, dib.rows.data()), 9);
  EXPECT_EQ(Save(Slot::Bmp, folder.File("") + "\\", &dib.header, dib.rows.data()), 9);  // no file name
  EXPECT_TRUE(folder.Names().empty());
}

// A folder with no room left in MAX_PATH for the temporary file's name is
// a write error, as on Windows, whatever the system's call would do.
TEST(XxgrpWriter, AFolderTooLongForTheTemporaryNameIsAWriteError) {
  TempFolder folder;
  // With its closing backslash the folder takes 247 characters or more,
  // and no more than CreateDirectory makes (247).
  std::string deep = folder.File("d");
  while (deep.size() < MAX_PATH - 14)
    deep += "\\" + std::string(std::min<size_t>(40, MAX_PATH - 14 - deep.size()), 'd');
  ASSERT_TRUE(fs::create_directories(deep));
  const Dib dib = MakeDib(GradientPicture(4, 4, 3));
  EXPECT_EQ(Save(Slot::Bmp, deep + "\\p.bmp", &dib.header, dib.rows.data()), 9);
  EXPECT_TRUE(fs::is_empty(deep));
}

TEST(XxgrpWriter, HeadersTheWriterCannotWrite) {
  TempFolder folder;
  const Dib good = MakeDib(GradientPicture(4, 4, 3));
  const auto variant = [&](auto change) {
    Dib dib = good;
    change(dib.header);
    return dib;
  };
  const Dib unwritable[] = {
      variant([](BITMAPINFOHEADER& h) { h.biBitCount = 8; }),
      variant([](BITMAPINFOHEADER& h) { h.biBitCount = 16; }),
      variant([](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }),
      variant([](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }),
      variant([](BITMAPINFOHEADER& h) { h.biSize = 12; }),
      variant([](BITMAPINFOHEADER& h) { h.biPlanes = 2; }),
      variant([](BITMAPINFOHEADER& h) { h.biWidth = 0; }),
      variant([](BITMAPINFOHEADER& h) { h.biWidth = -4; }),
      variant([](BITMAPINFOHEADER& h) { h.biHeight = 0; }),
      variant([](BITMAPINFOHEADER& h) { h.biHeight = LONG(0x80000000u); }),
      variant([](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; }),
      // Past the viewer's picture size cap in their 32-bit form: the rows
      // behind such a header are never read.
      variant([](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 24000; }),
      variant([](BITMAPINFOHEADER& h) {
        h.biWidth = 16384;
        h.biHeight = -32768;
      }),
  };
  for (Slot slot : kSlots) {
    for (const Dib& dib : unwritable)
      EXPECT_EQ(Save(slot, folder.File("never") + Extension(slot), &dib.header, good.rows.data()), 2);
  }
  EXPECT_TRUE(folder.Names().empty());
}

TEST(XxgrpWriter, MissingArguments) {
  TempFolder folder;
  const Dib dib = MakeDib(GradientPicture(4, 4, 3));
  EXPECT_EQ(Save(Slot::Png, folder.File("a.png"), nullptr, dib.rows.data()), 5);
  EXPECT_EQ(Save(Slot::Png, folder.File("a.png"), &dib.header, nullptr), 5);
  EXPECT_EQ(Operation(Slot::Png)(Writer(), nullptr, 0, &dib.header, dib.rows.data()), 9);
  EXPECT_EQ(Save(Slot::Png, "", &dib.header, dib.rows.data()), 9);
  EXPECT_TRUE(folder.Names().empty());
}

// A failed save leaves the existing file as it was and no temporary file.
TEST(XxgrpWriter, FailedSaveKeepsTheExistingFile) {
  TempFolder folder;
  const std::string kept = folder.File("kept.bmp");
  const std::string locked = folder.File("locked.png");
  const std::string asFolder = folder.File("folder.jpg");
  WriteText(kept, "the old contents");
  WriteText(locked, "read-only contents");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directory(asFolder);
  Dib bad = MakeDib(GradientPicture(4, 4, 3));
  bad.header.biBitCount = 8;
  const Dib good = MakeDib(GradientPicture(4, 4, 3));
  EXPECT_EQ(Save(Slot::Bmp, kept, &bad.header, bad.rows.data()), 2);
  EXPECT_EQ(Save(Slot::Png, locked, &good.header, good.rows.data()), 9);
  EXPECT_EQ(Save(Slot::Jpeg, asFolder, &good.header, good.rows.data()), 9);
  EXPECT_EQ(ReadFile(kept), Text("the old contents"));
  EXPECT_EQ(ReadFile(locked), Text("read-only contents"));
  EXPECT_TRUE(fs::is_directory(asFolder));
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"kept.bmp", "locked.png", "folder.jpg"}));
}

// A file saved over keeps what the user gave it: its attributes, and the
// permissions that keep others out. Windows' ReplaceFileW keeps them; Wine's
// keeps neither, and the writer sets both on the new file itself first.
TEST(XxgrpWriterReplace, AttributesArePreserved) {
  TempFolder folder;
  const std::string path = folder.File("shown.png");
  WriteText(path, "old");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const Dib dib = MakeDib(GradientPicture(4, 4, 3));
  ASSERT_EQ(Save(Slot::Png, path, &dib.header, dib.rows.data()), 0);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE) << "the file is new";
  EXPECT_EQ(ContainerOf(path), "png");
  EXPECT_EQ(folder.Names(), std::set<std::string>{"shown.png"});
}

// The permissions of a file as text; Everyone's entries read ";WD)".
std::string PermissionsOf(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL permissions = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &permissions,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return "(none)";
  char* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                       nullptr);
  const std::string permissionsText = text ? text : "(none)";
  LocalFree(text);
  LocalFree(descriptor);
  return permissionsText;
}

TEST(XxgrpWriterReplace, AFileKeptFromOthersStaysSo) {
  TempFolder folder;
  const std::string path = folder.File("restricted.bmp");
  WriteText(path, "old");
  PSECURITY_DESCRIPTOR ownersOnly = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;OW)",
                                                                   SDDL_REVISION_1, &ownersOnly, nullptr));
  SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, ownersOnly);
  LocalFree(ownersOnly);
  const std::string before = PermissionsOf(path);
  if (before.find(";WD)") != std::string::npos) GTEST_SKIP() << "this file system gives everyone access: " << before;
  const Dib dib = MakeDib(GradientPicture(4, 4, 3));
  ASSERT_EQ(Save(Slot::Bmp, path, &dib.header, dib.rows.data()), 0);
  EXPECT_EQ(ContainerOf(path), "bmp");
  EXPECT_EQ(PermissionsOf(path).find(";WD)"), std::string::npos) << PermissionsOf(path) << ", before " << before;
}

// A file with a second hard link gets the picture where it is: both names
// see it, and they still name one file. Read-only, it is refused as ever.
TEST(XxgrpWriterReplace, EveryHardLinkSeesTheNewPicture) {
  TempFolder folder;
  const std::string first = folder.File("first.png"), second = folder.File("second.png");
  WriteText(first, std::string(5000, 'o'));
  ASSERT_TRUE(CreateHardLinkA(second.c_str(), first.c_str(), nullptr));
  const Picture picture = GradientPicture(6, 5, 3);
  const Dib dib = MakeDib(picture);
  ASSERT_EQ(Save(Slot::Png, first, &dib.header, dib.rows.data()), 0);
  ExpectReadsBackAs(Slot::Png, second, picture);
  EXPECT_EQ(ReadFile(first), ReadFile(second));
  HANDLE file = CreateFileA(second.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION information = {};
  GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  EXPECT_EQ(information.nNumberOfLinks, 2u);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"first.png", "second.png"}));

  const Bytes saved = ReadFile(first);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Save(Slot::Bmp, second, &dib.header, dib.rows.data()), 9);
  SetFileAttributesA(first.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFile(first), saved);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"first.png", "second.png"}));
}

// A symbolic link stays a link and the file it names gets the picture.
// Wine makes no links; scripts/test-xxgrp.sh leaves one in XXGRP_OUTPUT,
// "through-link.png" naming "link-target.png", and checks afterwards that
// it is still a link.
TEST(XxgrpWriterReplace, ASymbolicLinkStaysALink) {
  const char* output = std::getenv("XXGRP_OUTPUT");
  const std::string link = output ? (fs::path(output) / "through-link.png").string() : std::string();
  if (link.empty() || GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no link left in XXGRP_OUTPUT";
  const Picture picture = GradientPicture(7, 3, 3);
  const Dib dib = MakeDib(picture);
  ASSERT_EQ(Save(Slot::Png, link, &dib.header, dib.rows.data()), 0);
  ExpectReadsBackAs(Slot::Png, (fs::path(output) / "link-target.png").string(), picture);
}

void PutRaw(const std::string& path, const Picture& bgr) {
  Bytes raw;
  PutLe32(raw, static_cast<uint32_t>(bgr.width));
  PutLe32(raw, static_cast<uint32_t>(bgr.height));
  Append(raw, bgr.pixels);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(raw.data()), raw.size());
}

// Files for the reader on the Linux side (scripts/pictures.py check-writer):
// NAME.bgr holds width, height and the expected top-down BGR pixels, and
// NAME.bmp, NAME.png (and NAME.jpg for smooth pictures) what the writer made of them.
TEST(XxgrpWriterFiles, ForTheIndependentReader) {
  // Without XXGRP_OUTPUT the files go to a folder that is removed afterwards.
  const TempFolder scratch;
  const char* named = std::getenv("XXGRP_OUTPUT");
  const fs::path output = named ? fs::path(named) : fs::path(scratch.File(""));
  fs::create_directories(output);
  struct Case {
    const char* name;
    Picture picture;
    bool topDown;
    bool smooth;
  };
  const Case cases[] = {{"gradient", GradientPicture(50, 30, 3), false, true},
                        {"noise-top-down", NoisePicture(33, 20, 3, 9), true, false},
                        {"sprite-32bit", SpritePicture(30, 18), false, true},
                        {"one-pixel", NoisePicture(1, 1, 3, 2), false, false}};
  for (const Case& c : cases) {
    const std::string base = (output / c.name).string();
    const Dib dib = MakeDib(c.picture, c.topDown);
    PutRaw(base + ".bgr", c.picture.bytesPerPixel == 4 ? WithoutAlpha(c.picture) : c.picture);
    EXPECT_EQ(Save(Slot::Bmp, base + ".bmp", &dib.header, dib.rows.data()), 0);
    EXPECT_EQ(Save(Slot::Png, base + ".png", &dib.header, dib.rows.data()), 0);
    if (c.smooth) {
      EXPECT_EQ(Save(Slot::Jpeg, base + ".jpg", &dib.header, dib.rows.data()), 0);
    }
  }
}

}  // namespace
