// The failures of the output commands as the user meets them: the message
// each shows, with its owner, caption, icon and buttons. Failures that a
// test cannot bring about for real (memory running out, a bitmap the
// system will not make) are injected at the system call.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which it builds.
#include <shlobj.h>

#include "platform/windows/text.h"
#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/import_patch.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

namespace {

const std::string kWriteError = LoadUtf8(IDS_WRITER_RESULT_FIRST + 9);
const std::string kOutOfMemory = LoadUtf8(IDS_WRITER_RESULT_FIRST + 4);
const std::string kNoWallpaper = LoadUtf8(IDS_WALLPAPER_FAILED);
const std::string kUnreadable = LoadUtf8(IDS_IMAGE_UNREADABLE);
// Every message of the view: an OK button and the information icon.
constexpr UINT kInformation = MB_OK | MB_ICONINFORMATION;

// The flattened copy of the 40 × 30 foreground below: 40 pixels of 3 bytes
// a row, 30 rows. Every other allocation goes through.
constexpr SIZE_T kFlattenedBytes = 120 * 30;
ImportPatch* heapAlloc = nullptr;
LPVOID WINAPI NoRoomToFlatten(HANDLE heap, DWORD flags, SIZE_T size) {
  using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
  return size == kFlattenedBytes ? nullptr : reinterpret_cast<HeapAllocFn>(heapAlloc->original())(heap, flags, size);
}

HBITMAP WINAPI NoDibSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) { return nullptr; }

class OutputFailures : public FrameTest {
 protected:
  void OpenBoth() {
    ASSERT_EQ(view().OpenImage(pictures_.Tga("scene.tga", Scene(60, 40)).c_str(), kMayBeBackground), SpiResult::Ok);
    OpenForeground();
  }
  void OpenForeground() {
    ASSERT_EQ(view().OpenImage(pictures_.Tga("sprite.tga", Sprite(40, 30)).c_str(), kMayBeForeground), SpiResult::Ok);
  }
  void ExpectOneMessage(const std::string& text, const std::string& caption) {
    ASSERT_EQ(messages_.shown().size(), 1u);
    const ShownMessage& shown = messages_.shown()[0];
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.caption, caption);
    EXPECT_EQ(shown.owner, frame().viewWindow());
    EXPECT_EQ(shown.style, kInformation);
  }

  PictureFolder pictures_;
  MessageRecorder messages_;
};

// The save dialog is a common dialog, which the 32-bit pass leaves out.
class OutputFailuresWithDialogs : public OutputFailures {
 protected:
  // Saves through the dialog, answered with `path` (and yes to replacing).
  void SaveAs(const std::string& path) {
    DialogWatcher dialogs(DialogWatcher::ChooseFile(path));
    frame().Command(ID_FILE_SAVE_COMPOSITE);
  }
};

TEST_F(OutputFailuresWithDialogs, AReadOnlyFileIsAWriteErrorAndKeepsItsBytes) {
  OpenBoth();
  const std::string target = pictures_.File("kept.png", Bytes{'o', 'l', 'd'});
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  SaveAs(target);
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectOneMessage(kWriteError, "kept.png");
  EXPECT_EQ(ReadFileBytes(target), (Bytes{'o', 'l', 'd'}));
}

TEST_F(OutputFailuresWithDialogs, AFileOpenElsewhereIsAWriteErrorAndKeepsItsBytes) {
  OpenBoth();
  const std::string target = pictures_.File("open.bmp", Bytes{'o', 'l', 'd'});
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveAs(target);
  CloseHandle(held);
  ExpectOneMessage(kWriteError, "open.bmp");
  EXPECT_EQ(ReadFileBytes(target), (Bytes{'o', 'l', 'd'}));
}

// A lone foreground is flattened into a copy before it is written; when
// that copy cannot be had, nothing is written.
TEST_F(OutputFailuresWithDialogs, NoMemoryToFlattenALoneForeground) {
  OpenForeground();
  ImportPatch patch("kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(NoRoomToFlatten));
  heapAlloc = &patch;
  ASSERT_TRUE(patch.Active());
  const std::string target = pictures_.path() + "\\flat.png";
  SaveAs(target);
  ExpectOneMessage(kOutOfMemory, "flat.png");
  EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The wallpaper file's two places: the Windows folder, and the user's own
// application-data folder for an account that may not write there.
struct WallpaperFiles {
  std::wstring windows;
  std::wstring users;
  WallpaperFiles() {
    wchar_t folder[MAX_PATH], user[MAX_PATH];
    DWORD userLength = MAX_PATH;
    GetWindowsDirectoryW(folder, MAX_PATH);
    GetUserNameW(user, &userLength);
    const std::wstring name = std::wstring(L"\\Susie_") + user + L"_WP.BMP";
    windows = folder + name;
    wchar_t* appData = nullptr;
    SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &appData);
    users = std::wstring(appData) + L"\\Trellin" + name;
    CoTaskMemFree(appData);
  }
  // A folder in the file's place: no file can be written there.
  static void Block(const std::wstring& file) {
    DeleteFileW(file.c_str());
    CreateDirectoryW(file.substr(0, file.find_last_of(L'\\')).c_str(), nullptr);
    CreateDirectoryW(file.c_str(), nullptr);
  }
  static void Unblock(const std::wstring& file) { RemoveDirectoryW(file.c_str()); }
};

// Where the Windows folder cannot be written, as for a standard account,
// the wallpaper file goes into the user's own folder, and no message shows.
TEST_F(OutputFailures, AWallpaperTheWindowsFolderRefusesGoesToTheUsersFolder) {
  OpenBoth();
  const WallpaperFiles files;
  DeleteFileW(files.users.c_str());
  WallpaperFiles::Block(files.windows);
  frame().Command(ID_WALLPAPER_TILE);
  WallpaperFiles::Unblock(files.windows);
  EXPECT_TRUE(messages_.shown().empty());
  const Bytes written = ReadFileBytes(platform::Utf8(files.users));
  ASSERT_GT(written.size(), 54u);
  EXPECT_EQ(written[0], 'B');
  DeleteFileW(files.users.c_str());
}

// Where neither place takes the file, the message says so under the
// caption "Error".
TEST_F(OutputFailures, AWallpaperThatCannotBeWritten) {
  OpenBoth();
  const WallpaperFiles files;
  WallpaperFiles::Block(files.windows);
  WallpaperFiles::Block(files.users);
  frame().Command(ID_WALLPAPER_TILE);
  WallpaperFiles::Unblock(files.windows);
  WallpaperFiles::Unblock(files.users);
  ExpectOneMessage(kNoWallpaper, "Error");
}

// A background whose composite surface the system will not make: message
// 129, and the view goes on showing the background alone.
TEST_F(OutputFailures, ASurfaceThatCannotBeMade) {
  ImportPatch patch("gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(NoDibSection));
  ASSERT_TRUE(patch.Active());
  ASSERT_EQ(view().OpenImage(pictures_.Tga("scene.tga", Scene(60, 40)).c_str(), kMayBeBackground), SpiResult::Ok);
  ExpectOneMessage(kUnreadable, "Trellin");
  EXPECT_TRUE(view().document().HasBackground());
}

}  // namespace
