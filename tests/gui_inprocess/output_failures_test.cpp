// The failures of the output commands as the user meets them: the message
// each shows, with its owner, caption, icon and buttons. Failures that a
// test cannot bring about for real (memory running out, a bitmap the
// system will not make) are injected at the system call.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/import_patch.h"
#include "tests/shell/windows/windows_text.h"
#include "viewer/resources/resource.h"

namespace {

const std::string kWriteError = Cp932(u8"書き込みエラー");
const std::string kOutOfMemory = Cp932(u8"メモリーが確保出来ない");
const std::string kNoWallpaper = Cp932(u8"壁紙が設定できません");
const std::string kUnreadable = Cp932(u8"画像が読み込めません");
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
    ASSERT_EQ(view().OpenImage(pictures_.Tga("scene.tga", Scene(60, 40)).c_str(), kMayBeBackground), 0);
    OpenForeground();
  }
  void OpenForeground() {
    ASSERT_EQ(view().OpenImage(pictures_.Tga("sprite.tga", Sprite(40, 30)).c_str(), kMayBeForeground), 0);
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

// Where the wallpaper file cannot be written (here a folder stands in its
// place), the message says so under the caption "Error".
TEST_F(OutputFailures, AWallpaperThatCannotBeWritten) {
  OpenBoth();
  char windows[MAX_PATH], user[MAX_PATH];
  DWORD userLength = sizeof user;
  GetWindowsDirectoryA(windows, sizeof windows);
  GetUserNameA(user, &userLength);
  const std::string wallpaper = std::string(windows) + "\\Susie_" + user + "_WP.BMP";
  DeleteFileA(wallpaper.c_str());
  ASSERT_TRUE(CreateDirectoryA(wallpaper.c_str(), nullptr));
  frame().Command(ID_WALLPAPER_TILE);
  RemoveDirectoryA(wallpaper.c_str());
  ExpectOneMessage(kNoWallpaper, "Error");
}

// A background whose composite surface the system will not make: message
// 129, and the view goes on showing the background alone.
TEST_F(OutputFailures, ASurfaceThatCannotBeMade) {
  ImportPatch patch("gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(NoDibSection));
  ASSERT_TRUE(patch.Active());
  ASSERT_EQ(view().OpenImage(pictures_.Tga("scene.tga", Scene(60, 40)).c_str(), kMayBeBackground), 0);
  ExpectOneMessage(kUnreadable, "Trellin");
  EXPECT_TRUE(view().document().HasBackground());
}

}  // namespace
