// The frame's commands with real pictures: the open commands through their
// dialog, their failure messages, the recent entries, New and paste, the
// caption after each, and the commands that reach the view or nobody.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which they build.
#include <dlgs.h>

#include <cstring>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "tests/gui_inprocess/import_patch.h"
#include "viewer/resources/resource.h"
#include "viewer/resources/toolbar_buttons.h"
#include "viewer/shell/command_table.h"
#include "viewer/shell/strings.h"

namespace {

const std::string kUnreadable = AnsiText(IDS_IMAGE_UNREADABLE);
const std::string kBrokenOrAlphaBackground = AnsiText(IDS_BROKEN_OR_ALPHA_BACKGROUND);
const std::string kBrokenOrNoAlpha = AnsiText(IDS_BROKEN_OR_NO_ALPHA);
const std::string kOutOfMemory = AnsiText(IDS_WRITER_RESULT_FIRST + 4);

// The keyed copy of the 120 × 90 scene below, 4 bytes a pixel; every other
// block is allocated.
constexpr SIZE_T kKeyedSceneBytes = 120 * 90 * 4;
ImportPatch* localAlloc = nullptr;
HLOCAL WINAPI NoRoomForKeys(UINT flags, SIZE_T size) {
  using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
  return size == kKeyedSceneBytes ? nullptr : reinterpret_cast<LocalAllocFn>(localAlloc->original())(flags, size);
}

std::vector<std::pair<std::string, UINT>> Entries(std::initializer_list<std::string> paths, UINT first) {
  std::vector<std::pair<std::string, UINT>> items;
  int k = 0;
  for (const std::string& path : paths) {
    items.emplace_back("&" + std::to_string(k + 1) + " " + path, first + k);
    ++k;
  }
  return items;
}

const std::vector<std::pair<std::string, UINT>> kNoForegrounds = {{"(Empty)", ID_RECENT_FOREGROUND_FIRST}};
const std::vector<std::pair<std::string, UINT>> kNoBackgrounds = {{"(Empty)", ID_RECENT_BACKGROUND_FIRST}};

// A packed bitmap as the clipboard holds it: header, then rows.
HGLOBAL PackedDib(int width, int height, int bitCount, uint8_t fill) {
  const size_t row = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + row * height);
  auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(memory));
  *header = {};
  header->biSize = sizeof *header;
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bitCount);
  std::memset(header + 1, fill, row * height);
  GlobalUnlock(memory);
  return memory;
}

void PutOnClipboard(HGLOBAL dib) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, dib);
  CloseClipboard();
}

// The identifiers of a menu's items, its submenus' included.
void CollectItems(HMENU menu, std::vector<UINT>* ids) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectItems(sub, ids);
    } else if (GetMenuItemID(menu, i) != 0) {
      ids->push_back(GetMenuItemID(menu, i));
    }
  }
}

// Every menu item of both languages, every key and every toolbar button of
// the program has one row of the command table, the rows share no
// identifier, and each row's handler belongs to the window that runs it; a
// row that runs nowhere has none.
TEST(CommandTable, EveryCommandOfTheProgramHasOneRow) {
  std::vector<UINT> ids;
  for (Language language : {Language::kJapanese, Language::kEnglish}) {
    HMENU menu = LoadLanguageMenuIn(language, IDR_MAINFRAME);
    CollectItems(menu, &ids);
    DestroyMenu(menu);
  }
  HACCEL keys = LoadAcceleratorsW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  std::vector<ACCEL> accelerators(static_cast<size_t>(CopyAcceleratorTableW(keys, nullptr, 0)));
  CopyAcceleratorTableW(keys, accelerators.data(), static_cast<int>(accelerators.size()));
  for (const ACCEL& key : accelerators) ids.push_back(key.cmd);
  for (UINT button : kToolbarButtons)
    if (button != kToolbarSeparator) ids.push_back(button);
  for (UINT id : ids) EXPECT_TRUE(FindCommand(id)) << id;

  const std::vector<Command>& table = CommandTable();
  for (size_t i = 0; i < table.size(); ++i) {
    const Command& row = table[i];
    EXPECT_LE(row.first, row.last);
    EXPECT_EQ(row.onFrame != nullptr, row.runs == Runs::Frame) << row.first;
    EXPECT_EQ(row.onView != nullptr, row.runs == Runs::View) << row.first;
    for (size_t j = i + 1; j < table.size(); ++j)
      EXPECT_TRUE(table[j].last < row.first || table[j].first > row.last) << row.first << " and " << table[j].first;
  }
}

class OpenCommands : public FrameTest {
 protected:
  // The open dialog was followed by one message, owned by the frame.
  void ExpectOneMessage(const DialogWatcher& dialogs, const std::string& caption, const std::string& text) {
    ASSERT_EQ(dialogs.seen().size(), 2u);
    EXPECT_EQ(dialogs.seen()[1].caption, caption);
    EXPECT_EQ(dialogs.seen()[1].texts, std::vector<std::string>{text});
    EXPECT_EQ(dialogs.seen()[1].owner, frame().hwnd());
  }

  PictureFolder pictures_;
  const std::string sprite_ = pictures_.Tga("sprite.tga", Sprite(40, 30));
  const std::string scene_ = pictures_.Tga("scene.tga", Scene(120, 90));
};

// The open dialog is a common dialog, which the 32-bit pass leaves out.
class OpenCommandsWithDialogs : public OpenCommands {};

// The dialog of each open command: its title, the plug-ins' file types
// with "All Images" shown first, and the chosen file opened.
TEST_F(OpenCommandsWithDialogs, EachOpensTheChosenFileAndAddsItToItsRecentList) {
  std::vector<std::string> filters;
  int shownFilter = -1;
  DialogWatcher dialogs([&](HWND dialog) {
    HWND types = GetDlgItem(dialog, cmb1);
    shownFilter = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
    filters.clear();
    for (int i = 0; i < SendMessageA(types, CB_GETCOUNT, 0, 0); ++i) {
      char text[100] = {};
      SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      filters.push_back(text);
    }
    const bool background = dialogs.seen().back().caption == AnsiText(IDS_OPEN_BACKGROUND_TITLE);
    DialogWatcher::ChooseFile(background ? scene_ : sprite_)(dialog);
  });
  frame().Command(ID_FILE_OPEN_BACKGROUND);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, AnsiText(IDS_OPEN_BACKGROUND_TITLE));
  EXPECT_EQ(dialogs.seen()[0].owner, frame().hwnd());
  EXPECT_EQ(shownFilter, 1) << "All Images";
  ASSERT_GE(filters.size(), 3u);
  EXPECT_EQ(filters[0], "All files");
  EXPECT_EQ(filters[1], "All Images");
  EXPECT_EQ(filters[2], "Leaf image files");
  EXPECT_EQ(frame().Caption(), "Trellin / scene.tga (120x90x24 bit)");
  EXPECT_EQ(ItemsOf(RecentBackgroundMenu(frame().menu())), Entries({scene_}, ID_RECENT_BACKGROUND_FIRST));

  frame().Command(ID_FILE_OPEN_FOREGROUND);
  ASSERT_EQ(dialogs.seen().size(), 2u);
  EXPECT_EQ(dialogs.seen()[1].caption, AnsiText(IDS_OPEN_FOREGROUND_TITLE));
  EXPECT_EQ(frame().Caption(), "Trellin - sprite.tga (40x30x32 bit) / scene.tga (120x90x24 bit)");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())), Entries({sprite_}, ID_RECENT_FOREGROUND_FIRST));
  EXPECT_FALSE(GetMenuState(frame().menu(), ID_RECENT_FOREGROUND_FIRST, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(OpenCommandsWithDialogs, ForceOpenKeysAPictureWithoutAlphaThatOpenForegroundRefuses) {
  DialogWatcher dialogs(DialogWatcher::ChooseFile(scene_));
  frame().Command(ID_FILE_OPEN_FOREGROUND);
  ExpectOneMessage(dialogs, "scene.tga", kBrokenOrNoAlpha);
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())), kNoForegrounds);
  frame().Command(ID_FILE_FORCE_FOREGROUND);
  ASSERT_EQ(dialogs.seen().size(), 3u);
  EXPECT_EQ(frame().Caption(), "Trellin - scene.tga (120x90x32 bit)");
  EXPECT_EQ(ItemsOf(RecentForegroundMenu(frame().menu())), Entries({scene_}, ID_RECENT_FOREGROUND_FIRST));
}

TEST_F(OpenCommandsWithDialogs, APictureWithAlphaIsRefusedAsBackground) {
  DialogWatcher dialogs(DialogWatcher::ChooseFile(sprite_));
  frame().Command(ID_FILE_OPEN_BACKGROUND);
  ExpectOneMessage(dialogs, "sprite.tga", kBrokenOrAlphaBackground);
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_EQ(ItemsOf(RecentBackgroundMenu(frame().menu())), kNoBackgrounds);
}

TEST_F(OpenCommandsWithDialogs, ACancelledDialogChangesNothing) {
  DialogWatcher dialogs(DialogWatcher::PressCancel);
  for (UINT command : {ID_FILE_OPEN_FOREGROUND, ID_FILE_FORCE_FOREGROUND, ID_FILE_OPEN_BACKGROUND})
    frame().Command(command);
  EXPECT_EQ(dialogs.seen().size(), 3u) << "three dialogs and no message";
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_FALSE(view().document().HasForeground());
  EXPECT_FALSE(view().document().HasBackground());
}

// A plug-in that cannot read the file answers 6: "cannot be read", for
// either kind of open.
TEST_F(OpenCommandsWithDialogs, AReadErrorOfThePluginShowsItsOwnMessage) {
  const std::string plugins = NewFolder("read-error");
  CopyInto(FakesFolder() + "\\" + FakeName(6), plugins);
  Restart("", plugins);
  const std::string unreadable = pictures_.File("unreadable.fk6", FakeFile('6', Bytes(64, 0)));
  DialogWatcher dialogs(DialogWatcher::ChooseFile(unreadable));
  frame().Command(ID_FILE_OPEN_FOREGROUND);
  frame().Command(ID_FILE_OPEN_BACKGROUND);
  ASSERT_EQ(dialogs.seen().size(), 4u);
  EXPECT_EQ(dialogs.seen()[1].caption, "unreadable.fk6");
  EXPECT_EQ(dialogs.seen()[1].texts, std::vector<std::string>{kUnreadable});
  EXPECT_EQ(dialogs.seen()[3].texts, std::vector<std::string>{kUnreadable});
}

// Recent foregrounds reopen through the forcing path and move to the top;
// an entry whose file has gone shows the message, with the file's name as
// caption, and leaves the list, the others keeping their order.
TEST_F(OpenCommands, RecentForegroundEntries) {
  const std::string gone = pictures_.path() + "\\gone.png";
  Restart("[RecentFgImage]\nDocumentCount=8\nDocument1=" + sprite_ + "\nDocument2=" + gone + "\nDocument3=" + scene_ +
          "\n");
  HMENU recent = RecentForegroundMenu(frame().menu());
  ASSERT_EQ(ItemsOf(recent), Entries({sprite_, gone, scene_}, ID_RECENT_FOREGROUND_FIRST));

  DialogWatcher dialogs;
  frame().Command(ID_RECENT_FOREGROUND_FIRST + 2);  // the scene: keyed, though it has no alpha
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(frame().Caption(), "Trellin - scene.tga (120x90x32 bit)");
  EXPECT_EQ(ItemsOf(recent), Entries({scene_, sprite_, gone}, ID_RECENT_FOREGROUND_FIRST));

  frame().Command(ID_RECENT_FOREGROUND_FIRST + 2);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, "gone.png");
  EXPECT_EQ(dialogs.seen()[0].texts, std::vector<std::string>{kBrokenOrNoAlpha});
  EXPECT_EQ(frame().Caption(), "Trellin - scene.tga (120x90x32 bit)");
  EXPECT_EQ(ItemsOf(recent), Entries({scene_, sprite_}, ID_RECENT_FOREGROUND_FIRST));

  // An identifier beyond the entries does nothing.
  frame().Command(ID_RECENT_FOREGROUND_FIRST + 5);
  EXPECT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(ItemsOf(recent), Entries({scene_, sprite_}, ID_RECENT_FOREGROUND_FIRST));
}

// Memory running out while a picture is taken in says so: the picture is
// not broken.
TEST_F(OpenCommands, NoMemoryToOpenShowsTheMemoryMessage) {
  Restart("[RecentFgImage]\nDocumentCount=8\nDocument1=" + scene_ + "\n");
  DialogWatcher dialogs;
  {
    ImportPatch patch("kernel32.dll", "LocalAlloc", reinterpret_cast<void*>(NoRoomForKeys));
    localAlloc = &patch;
    frame().Command(ID_RECENT_FOREGROUND_FIRST);
    localAlloc = nullptr;
  }
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, "scene.tga");
  EXPECT_EQ(dialogs.seen()[0].texts, std::vector<std::string>{kOutOfMemory});
  EXPECT_EQ(frame().Caption(), "Trellin");
}

TEST_F(OpenCommands, RecentBackgroundEntries) {
  const std::string gone = pictures_.path() + "\\gone.tga";
  Restart("[RecentBgImage]\nDocumentCount=8\nDocument1=" + gone + "\nDocument2=" + scene_ + "\nDocument3=" + sprite_ +
          "\n");
  HMENU recent = RecentBackgroundMenu(frame().menu());
  DialogWatcher dialogs;
  frame().Command(ID_RECENT_BACKGROUND_FIRST + 1);
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(frame().Caption(), "Trellin / scene.tga (120x90x24 bit)");
  EXPECT_EQ(ItemsOf(recent), Entries({scene_, gone, sprite_}, ID_RECENT_BACKGROUND_FIRST));

  frame().Command(ID_RECENT_BACKGROUND_FIRST + 2);  // the sprite has alpha
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, "sprite.tga");
  EXPECT_EQ(dialogs.seen()[0].texts, std::vector<std::string>{kBrokenOrAlphaBackground});
  EXPECT_EQ(ItemsOf(recent), Entries({scene_, gone}, ID_RECENT_BACKGROUND_FIRST));

  frame().Command(ID_RECENT_BACKGROUND_FIRST + 1);
  ASSERT_EQ(dialogs.seen().size(), 2u);
  EXPECT_EQ(dialogs.seen()[1].caption, "gone.tga");
  EXPECT_EQ(ItemsOf(recent), Entries({scene_}, ID_RECENT_BACKGROUND_FIRST));
  EXPECT_EQ(frame().Caption(), "Trellin / scene.tga (120x90x24 bit)");
}

TEST_F(OpenCommands, NewClearsBothPicturesAndTheCaption) {
  ASSERT_EQ(view().OpenImage(scene_.c_str(), kMayBeBackground), SpiResult::Ok);
  ASSERT_EQ(view().OpenImage(sprite_.c_str(), kMayBeForeground), SpiResult::Ok);
  view().RefreshCaption();
  EXPECT_EQ(frame().Caption(), "Trellin - sprite.tga (40x30x32 bit) / scene.tga (120x90x24 bit)");
  frame().Command(ID_FILE_NEW);
  EXPECT_EQ(frame().Caption(), "Trellin");
  EXPECT_FALSE(view().document().HasForeground());
  EXPECT_FALSE(view().document().HasBackground());
}

TEST_F(OpenCommands, PasteReplacesOnePictureAndRefreshesTheCaption) {
  PutOnClipboard(PackedDib(4, 3, 32, 0x80));
  frame().Command(ID_EDIT_PASTE);
  EXPECT_EQ(frame().Caption(), "Trellin - [None title] (4x3x32 bit)");
  PutOnClipboard(PackedDib(6, 5, 24, 0x40));
  frame().Command(ID_EDIT_PASTE);
  EXPECT_EQ(frame().Caption(), "Trellin - [None title] (4x3x32 bit) / [None title] (6x5x24 bit)");
}

// Commands the frame does not run itself go on to the view; those with no
// handler there change nothing and show nothing.
TEST_F(OpenCommands, CommandsOfTheViewAndOfNobody) {
  ASSERT_EQ(view().OpenImage(scene_.c_str(), kMayBeBackground), SpiResult::Ok);
  ASSERT_EQ(view().OpenImage(sprite_.c_str(), kMayBeForeground), SpiResult::Ok);
  view().RefreshCaption();
  const Point centred = view().foregroundOffset();
  const std::string caption = frame().Caption();
  CommandRecorder reached(frame().viewWindow(), true);
  DialogWatcher dialogs;
  for (UINT command : {ID_EDIT_CUT, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE}) frame().Command(command);
  EXPECT_EQ(reached.ids(), (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE}));
  EXPECT_TRUE(dialogs.seen().empty());
  EXPECT_EQ(frame().Caption(), caption);
  EXPECT_TRUE(view().document().HasForeground());
  EXPECT_TRUE(view().document().HasBackground());

  // Centre, sent to the frame, puts a dragged foreground back.
  const LPARAM grip = MAKELPARAM(centred.x + 20, centred.y + 15);
  SendMessageA(frame().viewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, grip);
  SendMessageA(frame().viewWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(centred.x + 27, centred.y + 19));
  SendMessageA(frame().viewWindow(), WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(view().foregroundOffset().x, centred.x + 7);
  reached.Clear();
  frame().Command(ID_VIEW_CENTRE_FOREGROUND);
  EXPECT_EQ(reached.ids(), std::vector<UINT>{ID_VIEW_CENTRE_FOREGROUND});
  EXPECT_EQ(view().foregroundOffset().x, centred.x);
  EXPECT_EQ(view().foregroundOffset().y, centred.y);
}

TEST_F(OpenCommands, ExitClosesTheFrame) {
  HWND window = frame().hwnd();
  frame().Command(ID_APP_EXIT);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
