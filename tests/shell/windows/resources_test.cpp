// The resources as the program loads them: menus, keys, strings, toolbar
// bitmap, icon, about dialogs and version block. The menus, strings and
// dialogs come in a Japanese and an English set with the same identifiers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "viewer/resources/resource.h"
#include "viewer/resources/toolbar_buttons.h"
#include "viewer/shell/strings.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

TEST(Resources, RunUnderAJapaneseCodePage) { ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8"; }

// Every text of the two sets, held here once: the other tests read them
// from the resources of the language they expect.

// A menu as a tree: popups with their items, separators (no identifier,
// no text), commands with their identifier.
struct Item {
  std::string text;
  UINT id = 0;
  std::vector<Item> items;
  bool popup = false;
};

Item Command(const char* utf8, UINT id) { return {utf8, id, {}, false}; }
Item Popup(const char* utf8, std::vector<Item> items) { return {utf8, 0, std::move(items), true}; }
Item Separator() { return {}; }

std::string Utf8(const wchar_t* text, size_t length) {
  std::string out(length * 3, '\0');
  const int written = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(),
                                          static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

std::vector<Item> Read(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[300] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 300;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    Item item{Utf8(text, wcslen(text)), info.hSubMenu ? 0 : info.wID, {}, info.hSubMenu != nullptr};
    if (info.fType & MFT_SEPARATOR) item = Separator();
    if (info.hSubMenu) item.items = Read(info.hSubMenu);
    items.push_back(item);
  }
  return items;
}

std::vector<Item> MenuOf(Language language) {
  HMENU menu = LoadLanguageMenuIn(language, IDR_MAINFRAME);
  EXPECT_NE(menu, nullptr);
  std::vector<Item> items = Read(menu);
  DestroyMenu(menu);
  return items;
}

// The tree without its texts: identifiers and places.
std::string Shape(const std::vector<Item>& items) {
  std::string shape = "(";
  for (const Item& item : items)
    shape += item.popup ? Shape(item.items) : item.id ? std::to_string(item.id) + " " : std::string("- ");
  return shape + ")";
}

void ExpectSameMenu(const std::vector<Item>& actual, const std::vector<Item>& expected, const std::string& where) {
  ASSERT_EQ(actual.size(), expected.size()) << where;
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string place = where + " item " + std::to_string(i);
    EXPECT_EQ(actual[i].text, expected[i].text) << place;
    EXPECT_EQ(actual[i].id, expected[i].id) << place;
    EXPECT_EQ(actual[i].popup, expected[i].popup) << place;
    ExpectSameMenu(actual[i].items, expected[i].items, place);
  }
}

// Both languages name themselves in their own words in both sets.
const Item kLanguages[] = {Command(u8"日本語(&J)", ID_VIEW_LANGUAGE_JAPANESE),
                           Command("&English", ID_VIEW_LANGUAGE_ENGLISH)};

TEST(Resources, JapaneseMenu) {
  const std::vector<Item> expected = {
      Popup(u8"ファイル(&F)",
            {Command(u8"新規作成 (&N)\tCtrl+N", ID_FILE_NEW),
             Command(u8"前景画像を開く(&O)\tCtrl+Alt+O", ID_FILE_OPEN_FOREGROUND),
             Command(u8"背景画像を開く(&B)\tCtrl+Shift+O", ID_FILE_OPEN_BACKGROUND),
             Command(u8"強制的に前景として開く(&C)\tCtrl+O", ID_FILE_FORCE_FOREGROUND),
             Command(u8"合成して保存(&S)\tCtrl+S", ID_FILE_SAVE_COMPOSITE), Separator(),
             Popup(u8"フォルダー内の画像(&D)",
                   {Command(u8"次の前景(&N)\tPgDn", ID_BROWSE_NEXT_FOREGROUND),
                    Command(u8"前の前景(&P)\tPgUp", ID_BROWSE_PREVIOUS_FOREGROUND),
                    Command(u8"次の背景(&X)\tCtrl+PgDn", ID_BROWSE_NEXT_BACKGROUND),
                    Command(u8"前の背景(&R)\tCtrl+PgUp", ID_BROWSE_PREVIOUS_BACKGROUND)}),
             Popup(u8"壁紙に設定(&W)",
                   {Command(u8"中央に表示(&C)", ID_WALLPAPER_CENTRE), Command(u8"並べて表示(&T)", ID_WALLPAPER_TILE),
                    Command(u8"画面の大きさに合わせる(&S)", ID_WALLPAPER_STRETCH)}),
             Separator(), Command(u8"印刷 (&P)\tCtrl+P", ID_FILE_PRINT), Separator(),
             Popup(u8"最近使った前景(&F)", {Command("(Empty)", ID_RECENT_FOREGROUND_FIRST)}),
             Popup(u8"最近使った背景(&G)", {Command("(Empty)", ID_RECENT_BACKGROUND_FIRST)}), Separator(),
             Command(u8"終了 (&X)", ID_APP_EXIT)}),
      Popup(u8"編集(&E)", {Command(u8"合成してコピー(&C)\tCtrl+C", ID_EDIT_COPY_COMPOSITE),
                           Command(u8"貼り付け(&P)\tCtrl+V", ID_EDIT_PASTE)}),
      Popup(u8"表示(&V)", {Command(u8"前景を中央に(&C)", ID_VIEW_CENTRE_FOREGROUND), Separator(),
                           Command(u8"拡大(&I)\tCtrl++", ID_VIEW_ZOOM_IN),
                           Command(u8"縮小(&O)\tCtrl+-", ID_VIEW_ZOOM_OUT),
                           Command(u8"実際のサイズ(&A)\tCtrl+0", ID_VIEW_ZOOM_ACTUAL),
                           Command(u8"ウィンドウに合わせる(&W)\tCtrl+9", ID_VIEW_ZOOM_FIT), Separator(),
                           Command(u8"ツールバー(&T)", ID_VIEW_TOOLBAR),
                           Command(u8"ステータスバー(&S)", ID_VIEW_STATUS_BAR), Separator(),
                           Popup(u8"言語 (Language)(&L)", {kLanguages[0], kLanguages[1]})}),
      Popup(u8"ヘルプ(&H)", {Command("&About Trellin...", ID_APP_ABOUT)}),
  };
  ExpectSameMenu(MenuOf(Language::kJapanese), expected, "Japanese menu");
}

TEST(Resources, EnglishMenu) {
  const std::vector<Item> expected = {
      Popup("&File", {Command("&New\tCtrl+N", ID_FILE_NEW),
                      Command("&Open Foreground...\tCtrl+Alt+O", ID_FILE_OPEN_FOREGROUND),
                      Command("Open &Background...\tCtrl+Shift+O", ID_FILE_OPEN_BACKGROUND),
                      Command("Open as Foreground with &Color Key...\tCtrl+O", ID_FILE_FORCE_FOREGROUND),
                      Command("&Save Composite As...\tCtrl+S", ID_FILE_SAVE_COMPOSITE), Separator(),
                      Popup("Pictures in the Fol&der", {Command("&Next Foreground\tPgDn", ID_BROWSE_NEXT_FOREGROUND),
                                                        Command("&Previous Foreground\tPgUp",
                                                                ID_BROWSE_PREVIOUS_FOREGROUND),
                                                        Command("Ne&xt Background\tCtrl+PgDn",
                                                                ID_BROWSE_NEXT_BACKGROUND),
                                                        Command("P&revious Background\tCtrl+PgUp",
                                                                ID_BROWSE_PREVIOUS_BACKGROUND)}),
                      Popup("Set as &Wallpaper", {Command("&Center", ID_WALLPAPER_CENTRE),
                                                  Command("&Tile", ID_WALLPAPER_TILE),
                                                  Command("&Stretch", ID_WALLPAPER_STRETCH)}),
                      Separator(), Command("&Print...\tCtrl+P", ID_FILE_PRINT), Separator(),
                      Popup("Recent &Foregrounds", {Command("(Empty)", ID_RECENT_FOREGROUND_FIRST)}),
                      Popup("Recent Back&grounds", {Command("(Empty)", ID_RECENT_BACKGROUND_FIRST)}), Separator(),
                      Command("E&xit", ID_APP_EXIT)}),
      Popup("&Edit", {Command("&Copy Composite\tCtrl+C", ID_EDIT_COPY_COMPOSITE),
                      Command("&Paste\tCtrl+V", ID_EDIT_PASTE)}),
      Popup("&View", {Command("&Center Foreground", ID_VIEW_CENTRE_FOREGROUND), Separator(),
                      Command("Zoom &In\tCtrl++", ID_VIEW_ZOOM_IN), Command("Zoom &Out\tCtrl+-", ID_VIEW_ZOOM_OUT),
                      Command("&Actual Size\tCtrl+0", ID_VIEW_ZOOM_ACTUAL),
                      Command("Fit to &Window\tCtrl+9", ID_VIEW_ZOOM_FIT), Separator(),
                      Command("&Toolbar", ID_VIEW_TOOLBAR), Command("&Status Bar", ID_VIEW_STATUS_BAR), Separator(),
                      Popup("&Language", {kLanguages[0], kLanguages[1]})}),
      Popup("&Help", {Command("&About Trellin...", ID_APP_ABOUT)}),
  };
  ExpectSameMenu(MenuOf(Language::kEnglish), expected, "English menu");
}

// The same commands in the same places, so that the frame finds its
// submenus and the keys' mnemonics lead to the same commands.
TEST(Resources, BothMenusHaveTheSameItemsInTheSamePlaces) {
  EXPECT_EQ(Shape(MenuOf(Language::kJapanese)), Shape(MenuOf(Language::kEnglish)));
}

// The frame finds the recent submenus counted from the File menu's end.
TEST(Resources, MenuKeepsTheRecentSubmenusPlaceAndItsTextsInCodePage932) {
  for (Language language : {Language::kJapanese, Language::kEnglish}) {
    HMENU menu = LoadLanguageMenuIn(language, IDR_MAINFRAME);
    ASSERT_NE(menu, nullptr);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(file), 15);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(file, 15 - 4), 0), static_cast<UINT>(ID_RECENT_FOREGROUND_FIRST));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(file, 15 - 3), 0), static_cast<UINT>(ID_RECENT_BACKGROUND_FIRST));
    DestroyMenu(menu);
  }
  // The bytes themselves, for one text.
  HMENU menu = LoadLanguageMenuIn(Language::kJapanese, IDR_MAINFRAME);
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
      {ctrl, VK_OEM_PLUS, ID_VIEW_ZOOM_IN},
      {ctrl | FSHIFT, VK_OEM_PLUS, ID_VIEW_ZOOM_IN},
      {ctrl, VK_ADD, ID_VIEW_ZOOM_IN},
      {ctrl, VK_OEM_MINUS, ID_VIEW_ZOOM_OUT},
      {ctrl, VK_SUBTRACT, ID_VIEW_ZOOM_OUT},
      {ctrl, '0', ID_VIEW_ZOOM_ACTUAL},
      {ctrl, VK_NUMPAD0, ID_VIEW_ZOOM_ACTUAL},
      {ctrl, '9', ID_VIEW_ZOOM_FIT},
  };
  ASSERT_EQ(keys.size(), expected.size());
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_TRUE(keys[i] == expected[i]) << "key " << i;
  DestroyAcceleratorTable(table);
}

std::string String(Language language, UINT id) {
  const std::wstring text = LoadTextIn(language, id);
  return Utf8(text.data(), text.size());
}

using Texts = std::map<UINT, std::string>;

// Texts that read the same in both sets: those that were English already.
const Texts kEnglishInBoth = {
    {IDR_MAINFRAME, "Trellin"},
    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_EDIT_COPY_COMPOSITE, "Copy the image and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {IDS_OPEN_RECENT_PROMPT, "Open this document"},
    {IDS_READY, "Ready"},
    {IDS_SC_SIZE, "Change the window size"},
    {IDS_SC_MOVE, "Change the window position"},
    {IDS_SC_MINIMIZE, "Reduce the window to an icon"},
    {IDS_SC_MAXIMIZE, "Enlarge the window to full size"},
    {IDS_SC_NEXTWINDOW, "Switch to the next window"},
    {IDS_SC_PREVWINDOW, "Switch to the previous window"},
    {IDS_SC_CLOSE, "Close the window"},
    {IDS_SC_RESTORE, "Restore the window to its normal size"},
    {IDS_SC_TASKLIST, "Switch to another program"},
    {IDS_ERROR_CAPTION, "Error"},
    {IDS_WARNING_CAPTION, "Warning!"},
    {IDS_WRITER_MISSING, "xxgrp.dll is not found."},
    {IDS_PASTED_NAME, "[None title]"},
    {IDS_FILTER_ALL_FILES, "All files"},
    {IDS_FILTER_ALL_IMAGES, "All Images"},
    {IDS_SAVE_FILTER, "Bitmap|*.bmp|PNG|*.png|JPEG|*.jpg"},
    {IDS_ABOUT_TEXT, "%1  ver. %2\n\n%3"},
    {IDS_ZOOM_STATUS, "%1%"},
};

const Texts kJapanese = {
    {IDS_IMAGE_UNREADABLE, u8"画像が読み込めません"},
    {IDS_BROKEN_OR_ALPHA_BACKGROUND, u8"画像が壊れている。\nまたは透明度を持つ画像が背景に指定された。"},
    {IDS_BROKEN_OR_NO_ALPHA, u8"画像が壊れている。\nまたは透明度の情報を持っていない。"},
    {IDS_OPEN_BACKGROUND_TITLE, u8"背景画像を開く"},
    {IDS_OPEN_FOREGROUND_TITLE, u8"前景画像を開く"},
    {IDS_WALLPAPER_FAILED, u8"壁紙が設定できません"},
    {ID_FILE_OPEN_FOREGROUND, u8"透明度を持つ画像を前景として開く\n前景を開く"},
    {ID_FILE_OPEN_BACKGROUND, u8"背景を開く\n背景を開く"},
    {ID_FILE_FORCE_FOREGROUND,
     u8"αチャンネルを持たない画像を、パレットのindex0、または左上のピクセルを透明色として前景にセット\n前景を開く"},
    {ID_FILE_SAVE_COMPOSITE, u8"画像を合成して保存\nSave"},
    {ID_VIEW_CENTRE_FOREGROUND, u8"前景画像を中央に配置"},
    {ID_VIEW_LANGUAGE_JAPANESE, u8"メニューとメッセージを日本語で表示\n日本語"},
    {ID_VIEW_LANGUAGE_ENGLISH, u8"メニューとメッセージを英語で表示\nEnglish"},
    {ID_VIEW_ZOOM_IN, u8"表示を拡大\n拡大"},
    {ID_VIEW_ZOOM_OUT, u8"表示を縮小\n縮小"},
    {ID_VIEW_ZOOM_ACTUAL, u8"画像を実際のサイズ (100%) で表示\n実際のサイズ"},
    {ID_VIEW_ZOOM_FIT, u8"画像全体をウィンドウに合わせて表示\nウィンドウに合わせる"},
    {IDS_ZOOM_FIT_STATUS, u8"全体表示 %1%"},
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

const Texts kEnglish = {
    {IDS_IMAGE_UNREADABLE, "The picture could not be read."},
    {IDS_BROKEN_OR_ALPHA_BACKGROUND, "The picture is damaged,\nor it has transparency and cannot be the background."},
    {IDS_BROKEN_OR_NO_ALPHA, "The picture is damaged,\nor it has no transparency."},
    {IDS_OPEN_BACKGROUND_TITLE, "Open Background"},
    {IDS_OPEN_FOREGROUND_TITLE, "Open Foreground"},
    {IDS_WALLPAPER_FAILED, "The wallpaper could not be set."},
    {ID_FILE_OPEN_FOREGROUND, "Open a picture with transparency as the foreground\nOpen Foreground"},
    {ID_FILE_OPEN_BACKGROUND, "Open a picture as the background\nOpen Background"},
    {ID_FILE_FORCE_FOREGROUND,
     "Open a picture without an alpha channel as the foreground, with palette index 0 or the color of the "
     "bottom-left pixel transparent\nOpen Foreground"},
    {ID_FILE_SAVE_COMPOSITE, "Save the composite of the two pictures\nSave"},
    {ID_VIEW_CENTRE_FOREGROUND, "Center the foreground picture"},
    {ID_VIEW_LANGUAGE_JAPANESE, u8"Show menus and messages in Japanese\n日本語"},
    {ID_VIEW_LANGUAGE_ENGLISH, "Show menus and messages in English\nEnglish"},
    {ID_VIEW_ZOOM_IN, "Zoom in on the picture\nZoom In"},
    {ID_VIEW_ZOOM_OUT, "Zoom out of the picture\nZoom Out"},
    {ID_VIEW_ZOOM_ACTUAL, "Show the picture at its actual size (100%)\nActual Size"},
    {ID_VIEW_ZOOM_FIT, "Show the whole picture in the window\nFit to Window"},
    {IDS_ZOOM_FIT_STATUS, "Fit %1%"},
    {IDS_WRITER_RESULT_FIRST + 0, "The operation completed."},
    {IDS_WRITER_RESULT_FIRST + 1, "The operation was cancelled."},
    {IDS_WRITER_RESULT_FIRST + 2, "This format is not supported."},
    {IDS_WRITER_RESULT_FIRST + 3, "The data is damaged."},
    {IDS_WRITER_RESULT_FIRST + 4, "There is not enough memory."},
    {IDS_WRITER_RESULT_FIRST + 5, "A memory error occurred."},
    {IDS_WRITER_RESULT_FIRST + 6, "The file could not be read."},
    {IDS_WRITER_RESULT_FIRST + 7, "A window could not be opened."},
    {IDS_WRITER_RESULT_FIRST + 8, "An internal error occurred."},
    {IDS_WRITER_RESULT_FIRST + 9, "The file could not be written."},
    {IDS_WRITER_RESULT_FIRST + 10, "The file ended unexpectedly."},
    {IDS_WRITER_RESULT_OTHER, "This function is not supported."},
    {ID_BROWSE_NEXT_FOREGROUND, "Open the next picture in the foreground's folder as the foreground\nNext Foreground"},
    {ID_BROWSE_PREVIOUS_FOREGROUND,
     "Open the previous picture in the foreground's folder as the foreground\nPrevious Foreground"},
    {ID_BROWSE_NEXT_BACKGROUND, "Open the next picture in the background's folder as the background\nNext Background"},
    {ID_BROWSE_PREVIOUS_BACKGROUND,
     "Open the previous picture in the background's folder as the background\nPrevious Background"},
    {IDS_BROWSE_SKIPPED, "Skipped pictures that could not be opened: %1"},
    {IDS_BROWSE_LAST, "This is the last picture in the folder"},
    {IDS_BROWSE_FIRST, "This is the first picture in the folder"},
    {IDS_OPEN_PROGRESS, "Opening... %1% (Esc to stop)"},
    {IDS_OPEN_PROGRESS_UNKNOWN, "Opening... (Esc to stop)"},
    {IDS_OPEN_CANCELLED, "Opening stopped"},
};

Texts Expected(Language language) {
  Texts texts = language == Language::kJapanese ? kJapanese : kEnglish;
  texts.insert(kEnglishInBoth.begin(), kEnglishInBoth.end());
  return texts;
}

// The identifiers of every entry of a language's string table: a table
// keeps sixteen entries to a block, block n + 1 holding 16n to 16n + 15,
// each a length and that many UTF-16 units; an absent entry has length 0.
BOOL CALLBACK NoteBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
  if (IS_INTRESOURCE(name))
    reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
  return TRUE;
}

std::set<UINT> StringIds(Language language) {
  std::vector<UINT> blocks;
  EnumResourceNamesW(Self(), RT_STRING, NoteBlock, reinterpret_cast<LONG_PTR>(&blocks));
  std::set<UINT> ids;
  for (UINT block : blocks) {
    HRSRC found = FindResourceExW(Self(), RT_STRING, MAKEINTRESOURCEW(block), ResourceLanguageId(language));
    if (!found) continue;
    const auto* units = static_cast<const WORD*>(LockResource(LoadResource(Self(), found)));
    const size_t count = SizeofResource(Self(), found) / 2;
    size_t at = 0;
    for (UINT index = 0; index < 16 && at < count; ++index) {
      if (units[at] != 0) ids.insert((block - 1) * 16 + index);
      at += 1 + units[at];
    }
  }
  return ids;
}

TEST(Resources, StringTables) {
  for (Language language : {Language::kJapanese, Language::kEnglish}) {
    const Texts expected = Expected(language);
    for (const auto& [id, utf8] : expected)
      EXPECT_EQ(String(language, id), utf8) << "string " << id << " in " << LanguageValue(language);
    // Every entry of the set is one of these.
    std::set<UINT> ids;
    for (const auto& entry : expected) ids.insert(entry.first);
    EXPECT_EQ(StringIds(language), ids) << LanguageValue(language);
  }
}

TEST(Resources, BothStringTablesHaveTheSameIdentifiers) {
  EXPECT_EQ(StringIds(Language::kJapanese), StringIds(Language::kEnglish));
  for (const auto& [id, text] : kJapanese) EXPECT_EQ(kEnglish.count(id), 1u) << id;
  EXPECT_EQ(kJapanese.size(), kEnglish.size());
}

TEST(Resources, PromptForEverySystemMenuItem) {
  for (Language language : {Language::kJapanese, Language::kEnglish}) {
    for (UINT command :
         {SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_NEXTWINDOW, SC_PREVWINDOW, SC_CLOSE, SC_RESTORE, SC_TASKLIST})
      EXPECT_NE(String(language, 0xE000 | (command >> 4)), "") << std::hex << command;
    // Commands without a prompt.
    EXPECT_EQ(String(language, ID_WALLPAPER_CENTRE), "");
    EXPECT_EQ(String(language, ID_RECENT_BACKGROUND_FIRST), "");
  }
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

// The About box of a language: its caption, font and controls.
struct Dialog {
  std::string caption, font;
  DWORD points = 0;
  std::vector<DialogItem> items;
};

Dialog AboutDialogIn(Language language) {
  Dialog dialog;
  HRSRC found = FindResourceExW(Self(), RT_DIALOG, MAKEINTRESOURCEW(IDD_ABOUTBOX), ResourceLanguageId(language));
  EXPECT_NE(found, nullptr);
  if (!found) return dialog;
  TemplateReader r(static_cast<const BYTE*>(LockResource(LoadResource(Self(), found))));
  EXPECT_EQ(r.Take(4), 0xFFFF0001u);  // the extended form
  r.Skip(8);                          // help identifier, extended style
  EXPECT_EQ(r.Take(4), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  const DWORD count = r.Take(2);
  EXPECT_EQ(r.Take(4), 0u);                 // x, y
  EXPECT_EQ(r.Take(4), 187u | 102u << 16);  // width, height
  EXPECT_EQ(r.Text(), "");                  // menu
  EXPECT_EQ(r.Text(), "");                  // class
  dialog.caption = r.Text();
  dialog.points = r.Take(2);
  r.Skip(4);  // weight, italic, character set
  dialog.font = r.Text();
  for (DWORD i = 0; i < count; ++i) {
    r.Align();
    r.Skip(8);  // help identifier, extended style
    DialogItem item{r.Take(4), r.Take(2), r.Take(2), r.Take(2), r.Take(2), r.Take(4)};
    item.windowClass = r.Text();
    item.text = r.Text();
    r.Skip(2);  // creation data
    dialog.items.push_back(item);
  }
  return dialog;
}

// Both sets have the same controls, in the same places; the English box
// takes an English system's dialog font.
TEST(Resources, AboutDialogTemplates) {
  // Classes by ordinal: 128 button, 130 static. Without identifier: -1.
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const std::vector<DialogItem> expected = {
      {child | WS_TABSTOP | BS_DEFPUSHBUTTON, 130, 81, 50, 14, IDOK, "#128", "OK"},
      {child | WS_GROUP | SS_CENTER, 14, 57, 99, 32, IDC_ABOUT_TEXT, "#130",
       "Trellin v1.0\n\nCopyright (C) 2026 the Trellin developers"},
      {child | SS_ICON, 55, 26, 20, 20, 0xFFFFFFFF, "#130", "#128"},
      {child | BS_GROUPBOX, 7, 7, 115, 88, 0xFFFFFFFF, "#128", ""},
  };
  const struct {
    Language language;
    const char* font;
    DWORD points;
  } sets[] = {{Language::kJapanese, "MS UI Gothic", 10}, {Language::kEnglish, "MS Shell Dlg", 8}};
  for (const auto& set : sets) {
    const Dialog dialog = AboutDialogIn(set.language);
    EXPECT_EQ(dialog.caption, "About");
    EXPECT_EQ(dialog.font, set.font);
    EXPECT_EQ(dialog.points, set.points);
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_TRUE(dialog.items[i] == expected[i]) << "control " << i << " in " << LanguageValue(set.language);
  }
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
