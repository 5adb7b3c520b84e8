// The resources as the program loads them: menu, keys, strings, toolbar
// bitmap, icon, about dialog and version block.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/shell/windows/windows_text.h"
#include "viewer/resources/resource.h"
#include "viewer/resources/toolbar_buttons.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

TEST(Resources, RunUnderAJapaneseCodePage) { ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8"; }

// The whole tree, texts and identifiers, is checked on the frame's live
// menu (tests/gui_inprocess); here what the frame relies on in the
// resource itself.
TEST(Resources, MenuKeepsTheRecentSubmenusPlaceAndItsTextsInCodePage932) {
  HMENU menu = LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(menu, nullptr);
  // The frame finds the recent submenus counted from the File menu's end.
  HMENU file = GetSubMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(file), 15);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(file, 15 - 4), 0), static_cast<UINT>(ID_RECENT_FOREGROUND_FIRST));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(file, 15 - 3), 0), static_cast<UINT>(ID_RECENT_BACKGROUND_FIRST));
  // The bytes themselves, for one text.
  char text[64] = {};
  GetMenuStringA(menu, 0, text, sizeof(text), MF_BYPOSITION);
  EXPECT_STREQ(text,
               "\x83t\x83@\x83"
               "C\x83\x8B(&F)");
  DestroyMenu(menu);
}

bool operator==(const ACCEL& a, const ACCEL& b) { return a.fVirt == b.fVirt && a.key == b.key && a.cmd == b.cmd; }

TEST(Resources, EveryKeyOfTheCommands) {
  HACCEL table = LoadAcceleratorsA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(table, nullptr);
  std::vector<ACCEL> keys(CopyAcceleratorTableA(table, nullptr, 0));
  CopyAcceleratorTableA(table, keys.data(), static_cast<int>(keys.size()));
  const BYTE ctrl = FVIRTKEY | FCONTROL, shift = FVIRTKEY | FSHIFT, alt = FVIRTKEY | FALT;
  const std::vector<ACCEL> expected = {
      {ctrl, 'N', ID_FILE_NEW},
      {ctrl | FALT, 'O', ID_FILE_OPEN_FOREGROUND},
      {ctrl | FSHIFT, 'O', ID_FILE_OPEN_BACKGROUND},
      {ctrl, 'O', ID_FILE_FORCE_FOREGROUND},
      {ctrl, 'S', ID_FILE_SAVE_COMPOSITE},
      {ctrl, 'P', ID_FILE_PRINT},
      {ctrl, 'C', ID_EDIT_COPY_COMPOSITE},
      {ctrl, VK_INSERT, ID_EDIT_COPY_COMPOSITE},
      {ctrl, 'V', ID_EDIT_PASTE},
      {shift, VK_INSERT, ID_EDIT_PASTE},
      {ctrl, 'X', ID_EDIT_CUT},
      {shift, VK_DELETE, ID_EDIT_CUT},
      {ctrl, 'Z', ID_EDIT_UNDO},
      {alt, VK_BACK, ID_EDIT_UNDO},
      {FVIRTKEY, VK_F6, ID_NEXT_PANE},
      {shift, VK_F6, ID_PREV_PANE},
      {FVIRTKEY, VK_NEXT, ID_BROWSE_NEXT_FOREGROUND},
      {FVIRTKEY, VK_PRIOR, ID_BROWSE_PREVIOUS_FOREGROUND},
      {ctrl, VK_NEXT, ID_BROWSE_NEXT_BACKGROUND},
      {ctrl, VK_PRIOR, ID_BROWSE_PREVIOUS_BACKGROUND},
  };
  ASSERT_EQ(keys.size(), expected.size());
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_TRUE(keys[i] == expected[i]) << "key " << i;
  DestroyAcceleratorTable(table);
}

std::string String(UINT id) {
  char text[512] = {};
  const int length = LoadStringA(Self(), id, text, sizeof(text));
  return std::string(text, length);
}

TEST(Resources, StringTable) {
  const std::pair<UINT, const char*> expected[] = {
      {IDR_MAINFRAME, "Trellin"},
      {IDS_IMAGE_UNREADABLE, u8"画像が読み込めません"},
      {IDS_BROKEN_OR_ALPHA_BACKGROUND, u8"画像が壊れている。\nまたは透明度を持つ画像が背景に指定された。"},
      {IDS_BROKEN_OR_NO_ALPHA, u8"画像が壊れている。\nまたは透明度の情報を持っていない。"},
      {IDS_OPEN_BACKGROUND_TITLE, u8"背景画像を開く"},
      {IDS_OPEN_FOREGROUND_TITLE, u8"前景画像を開く"},
      {IDS_WALLPAPER_FAILED, u8"壁紙が設定できません"},
      {ID_FILE_NEW, "Create a new document\nNew"},
      {ID_FILE_OPEN_FOREGROUND, u8"透明度を持つ画像を前景として開く\n前景を開く"},
      {ID_FILE_OPEN_BACKGROUND, u8"背景を開く\n背景を開く"},
      {ID_FILE_FORCE_FOREGROUND,
       u8"αチャンネルを持たない画像を、パレットのindex0、または左上のピクセルを透明色として前景にセット\n前景を開く"},
      {ID_FILE_SAVE_COMPOSITE, u8"画像を合成して保存\nSave"},
      {ID_FILE_PRINT, "Print the active document\nPrint"},
      {ID_EDIT_COPY_COMPOSITE, "Copy the image and put it on the Clipboard\nCopy"},
      {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
      {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
      {ID_VIEW_CENTRE_FOREGROUND, u8"前景画像を中央に配置"},
      {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
      {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
      {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
      {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
      {IDS_OPEN_RECENT_PROMPT, "Open this document"},
      {IDS_READY, "Ready"},
      {IDS_SC_SIZE, "Change the window size"},
      {IDS_WRITER_RESULT_FIRST + 0, u8"正常終了"},
      {IDS_WRITER_RESULT_FIRST + 1, u8"中断"},
      {IDS_WRITER_RESULT_FIRST + 2, u8"未対応のフォーマット"},
      {IDS_WRITER_RESULT_FIRST + 3, u8"データが壊れている"},
      {IDS_WRITER_RESULT_FIRST + 4, u8"メモリーが確保出来ない"},
      {IDS_WRITER_RESULT_FIRST + 5, u8"メモリーエラー"},
      {IDS_WRITER_RESULT_FIRST + 6, u8"ファイル読み込みエラー"},
      {IDS_WRITER_RESULT_FIRST + 7, u8"窓が開けない"},
      {IDS_WRITER_RESULT_FIRST + 8, u8"内部エラー"},
      {IDS_WRITER_RESULT_FIRST + 9, u8"書き込みエラー"},
      {IDS_WRITER_RESULT_FIRST + 10, u8"ファイル終端を検出"},
      {IDS_WRITER_RESULT_OTHER, u8"未対応の機能"},
      {IDS_ERROR_CAPTION, "Error"},
      {IDS_WARNING_CAPTION, "Warning!"},
      {IDS_WRITER_MISSING, "xxgrp.dll is not found."},
      {IDS_PASTED_NAME, "[None title]"},
      {IDS_FILTER_ALL_FILES, "All files"},
      {IDS_FILTER_ALL_IMAGES, "All Images"},
      {IDS_SAVE_FILTER, "Bitmap|*.bmp|PNG|*.png|JPEG|*.jpg"},
      {IDS_ABOUT_TEXT, "%1  ver. %2\n\n%3"},
      {ID_BROWSE_NEXT_FOREGROUND, u8"前景と同じフォルダーの次の画像を前景として開く\n次の前景"},
      {ID_BROWSE_PREVIOUS_FOREGROUND, u8"前景と同じフォルダーの前の画像を前景として開く\n前の前景"},
      {ID_BROWSE_NEXT_BACKGROUND, u8"背景と同じフォルダーの次の画像を背景として開く\n次の背景"},
      {ID_BROWSE_PREVIOUS_BACKGROUND, u8"背景と同じフォルダーの前の画像を背景として開く\n前の背景"},
      {IDS_BROWSE_SKIPPED, u8"開けない画像を飛ばしました: %1"},
      {IDS_BROWSE_LAST, u8"フォルダーの最後の画像です"},
      {IDS_BROWSE_FIRST, u8"フォルダーの最初の画像です"},
      {IDS_OPEN_PROGRESS, u8"読み込み中... %1% (Escで中止)"},
      {IDS_OPEN_PROGRESS_UNKNOWN, u8"読み込み中... (Escで中止)"},
      {IDS_OPEN_CANCELLED, u8"読み込みを中止しました"},
  };
  for (const auto& [id, utf8] : expected) EXPECT_EQ(String(id), Cp932(utf8)) << "string " << id;
  // The bytes themselves, for two texts.
  EXPECT_EQ(String(IDS_OPEN_FOREGROUND_TITLE), "\x91O\x8Ci\x89\xE6\x91\x9C\x82\xF0\x8AJ\x82\xAD");
  EXPECT_EQ(String(IDS_IMAGE_UNREADABLE),
            "\x89\xE6\x91\x9C\x82\xAA\x93\xC7\x82\xDD\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1");
}

// A string-table entry of one language, as UTF-8; empty when that
// language has none.
std::string StringIn(UINT id, WORD language) {
  HRSRC found = FindResourceExW(Self(), RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
  if (!found) return {};
  const auto* entry = static_cast<const WCHAR*>(LockResource(LoadResource(Self(), found)));
  for (UINT k = 0; k < id % 16; ++k) entry += 1 + *entry;
  const int length = WideCharToMultiByte(CP_UTF8, 0, entry + 1, *entry, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, entry + 1, *entry, text.data(), length, nullptr, nullptr);
  return text;
}

// The folder commands and the notes of a long open in English, the same
// identifiers as in Japanese.
TEST(Resources, EnglishTextsOfTheFolderCommandsAndLongOpens) {
  const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  const std::pair<UINT, const char*> expected[] = {
      {ID_BROWSE_NEXT_FOREGROUND, "Open the next picture in the foreground's folder as the foreground\nNext Foreground"},
      {ID_BROWSE_PREVIOUS_FOREGROUND,
       "Open the previous picture in the foreground's folder as the foreground\nPrevious Foreground"},
      {ID_BROWSE_NEXT_BACKGROUND, "Open the next picture in the background's folder as the background\nNext Background"},
      {ID_BROWSE_PREVIOUS_BACKGROUND,
       "Open the previous picture in the background's folder as the background\nPrevious Background"},
      {IDS_BROWSE_SKIPPED, "Skipped what could not be opened: %1"},
      {IDS_BROWSE_LAST, "This is the last picture in the folder"},
      {IDS_BROWSE_FIRST, "This is the first picture in the folder"},
      {IDS_OPEN_PROGRESS, "Opening... %1% (Esc to stop)"},
      {IDS_OPEN_PROGRESS_UNKNOWN, "Opening... (Esc to stop)"},
      {IDS_OPEN_CANCELLED, "Opening stopped"},
  };
  for (const auto& [id, text] : expected) {
    EXPECT_EQ(StringIn(id, english), text) << "string " << id;
    EXPECT_NE(StringIn(id, japanese), "") << "string " << id;
  }
}

TEST(Resources, PromptForEverySystemMenuItem) {
  for (UINT command :
       {SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_NEXTWINDOW, SC_PREVWINDOW, SC_CLOSE, SC_RESTORE, SC_TASKLIST}) {
    EXPECT_NE(String(0xE000 | (command >> 4)), "") << std::hex << command;
  }
  // Commands without a prompt.
  EXPECT_EQ(String(ID_WALLPAPER_CENTRE), "");
  EXPECT_EQ(String(ID_RECENT_BACKGROUND_FIRST), "");
}

TEST(Resources, ToolbarBitmapHoldsOnePictureForEachButton) {
  size_t buttons = 0;
  for (unsigned id : kToolbarButtons) buttons += id != kToolbarSeparator;
  EXPECT_EQ(buttons, 8u);
  HBITMAP bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info = {};
  GetObjectA(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, static_cast<LONG>(buttons) * kToolbarButtonWidth);
  EXPECT_EQ(info.bmHeight, kToolbarButtonHeight);
  DeleteObject(bitmap);
  EXPECT_NE(LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
}

// Reads an extended dialog template: little-endian fields, texts as zero-
// terminated UTF-16 or an ordinal ("#n"), items aligned to four bytes.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* p) : start_(p), p_(p) {}
  // A field of 2 or 4 bytes.
  DWORD Take(size_t bytes) {
    DWORD value = 0;
    std::memcpy(&value, p_, bytes);
    p_ += bytes;
    return value;
  }
  void Skip(size_t bytes) { p_ += bytes; }
  std::string Text() {
    if (Take(2) == 0xFFFF) return "#" + std::to_string(Take(2));
    p_ -= 2;
    std::string text;
    for (DWORD c = Take(2); c != 0; c = Take(2)) text += static_cast<char>(c);
    return text;
  }
  void Align() { p_ = start_ + ((p_ - start_ + 3) & ~3); }

 private:
  const BYTE* start_;
  const BYTE* p_;
};

struct DialogItem {
  DWORD style, x, y, cx, cy, id;
  std::string windowClass, text;
  bool operator==(const DialogItem& o) const {
    return style == o.style && x == o.x && y == o.y && cx == o.cx && cy == o.cy && id == o.id &&
           windowClass == o.windowClass && text == o.text;
  }
};

TEST(Resources, AboutDialogTemplate) {
  HRSRC found = FindResourceA(Self(), MAKEINTRESOURCEA(IDD_ABOUTBOX), MAKEINTRESOURCEA(5));  // RT_DIALOG
  ASSERT_NE(found, nullptr);
  TemplateReader r(static_cast<const BYTE*>(LockResource(LoadResource(Self(), found))));
  EXPECT_EQ(r.Take(4), 0xFFFF0001u);  // the extended form
  r.Skip(8);                          // help identifier, extended style
  EXPECT_EQ(r.Take(4), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  const DWORD count = r.Take(2);
  EXPECT_EQ(r.Take(4), 0u);                 // x, y
  EXPECT_EQ(r.Take(4), 187u | 102u << 16);  // width, height
  EXPECT_EQ(r.Text(), "");                  // menu
  EXPECT_EQ(r.Text(), "");                  // class
  EXPECT_EQ(r.Text(), "About");
  EXPECT_EQ(r.Take(2), 10u);  // points
  r.Skip(4);                  // weight, italic, character set
  EXPECT_EQ(r.Text(), "MS UI Gothic");
  std::vector<DialogItem> items;
  for (DWORD i = 0; i < count; ++i) {
    r.Align();
    r.Skip(8);  // help identifier, extended style
    DialogItem item{r.Take(4), r.Take(2), r.Take(2), r.Take(2), r.Take(2), r.Take(4)};
    item.windowClass = r.Text();
    item.text = r.Text();
    r.Skip(2);  // creation data
    items.push_back(item);
  }
  // Classes by ordinal: 128 button, 130 static. Without identifier: -1.
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const std::vector<DialogItem> expected = {
      {child | WS_TABSTOP | BS_DEFPUSHBUTTON, 130, 81, 50, 14, IDOK, "#128", "OK"},
      {child | WS_GROUP | SS_CENTER, 14, 57, 99, 32, IDC_ABOUT_TEXT, "#130",
       "Trellin v1.0\n\nCopyright (C) 2026 the Trellin developers"},
      {child | SS_ICON, 55, 26, 20, 20, 0xFFFFFFFF, "#130", "#128"},
      {child | BS_GROUPBOX, 7, 7, 115, 88, 0xFFFFFFFF, "#128", ""},
  };
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) EXPECT_TRUE(items[i] == expected[i]) << "control " << i;
}

std::string VersionValue(std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040004b0\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "(none)";
  return value;
}

TEST(Resources, VersionBlock) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::vector<char> block(GetFileVersionInfoSizeA(self, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(self, 0, static_cast<DWORD>(block.size()), block.data()));
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0400);
  EXPECT_EQ(translation[1], 0x04B0);
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00020001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00020001u);
  EXPECT_EQ(VersionValue(block, "FileDescription"), "Trellin Module");
  EXPECT_EQ(VersionValue(block, "FileVersion"), "1, 0, 2, 1");
  EXPECT_EQ(VersionValue(block, "InternalName"), "Trellin");
  EXPECT_EQ(VersionValue(block, "OriginalFilename"), "Trellin.exe");
  EXPECT_EQ(VersionValue(block, "ProductName"), "Trellin Module");
  EXPECT_EQ(VersionValue(block, "ProductVersion"), "1, 0, 2, 1");
  EXPECT_EQ(VersionValue(block, "LegalCopyright"), "Copyright (C) 2026 the Trellin developers");
}

}  // namespace
