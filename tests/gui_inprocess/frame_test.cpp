// The main frame as the user meets it: its menu, toolbar, rebar and status
// bar, the prompts and tool-tips, the keys, and where commands go.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, on which it builds.
#include <commctrl.h>

#include "tests/gui_inprocess/dialog_watcher.h"
#include "tests/gui_inprocess/gui_support.h"
#include "viewer/resources/resource.h"

namespace {

// The rebar's bands: identifier, hidden or not, and the window each holds.
struct Band {
  UINT id;
  bool hidden;
  HWND child;
};

std::vector<Band> BandsOf(HWND rebar) {
  std::vector<Band> bands;
  const int count = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOA info = {};
    info.cbSize = REBARBANDINFOA_V3_SIZE;
    info.fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_CHILD;
    SendMessageA(rebar, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    bands.push_back({info.wID, (info.fStyle & RBBS_HIDDEN) != 0, info.hwndChild});
  }
  return bands;
}

bool Checked(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }

RECT WindowRectIn(HWND window, HWND parent) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The menu bar's texts and marks in each language are the language tests'.

using FrameBars = FrameTest;

TEST_F(FrameBars, ToolbarButtonsInOrder) {
  HWND toolbar = frame().frame().toolbar();
  const std::vector<int> expected = {ID_FILE_NEW,
                                     ID_FILE_FORCE_FOREGROUND,
                                     ID_FILE_SAVE_COMPOSITE,
                                     0,
                                     ID_EDIT_CUT,
                                     ID_EDIT_COPY_COMPOSITE,
                                     ID_EDIT_PASTE,
                                     0,
                                     ID_FILE_PRINT,
                                     ID_APP_ABOUT};
  ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    TBBUTTON button = {};
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
    const bool separator = (button.fsStyle & BTNS_SEP) != 0;
    EXPECT_EQ(separator, expected[i] == 0) << "button " << i;
    if (!separator) {
      EXPECT_EQ(button.idCommand, expected[i]) << "button " << i;
    }
  }
  EXPECT_EQ(GetDlgCtrlID(toolbar), ID_VIEW_TOOLBAR);
  EXPECT_EQ(GetDlgCtrlID(frame().frame().statusBar()), ID_VIEW_STATUS_BAR);
}

// The toolbar command flips a flag of its own, whatever the band shows: a
// band hidden from elsewhere stays hidden on the first use and comes back
// on the second.
TEST_F(FrameBars, ToolbarCommandHidesAndShowsItsBand) {
  HWND rebar = frame().frame().rebar();
  HMENU menu = frame().menu();
  HWND toolbar = frame().frame().toolbar();
  ASSERT_EQ(BandsOf(rebar).size(), 1u);
  EXPECT_EQ(BandsOf(rebar)[0].id, kToolbarBandId);
  EXPECT_EQ(BandsOf(rebar)[0].child, toolbar);
  EXPECT_FALSE(BandsOf(rebar)[0].hidden);

  frame().Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(BandsOf(rebar)[0].hidden);
  EXPECT_FALSE(Checked(menu, ID_VIEW_TOOLBAR));
  EXPECT_FALSE(IsWindowVisible(toolbar));
  frame().Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(BandsOf(rebar)[0].hidden);
  EXPECT_TRUE(Checked(menu, ID_VIEW_TOOLBAR));

  SendMessageA(rebar, RB_SHOWBAND, 0, FALSE);
  frame().Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(BandsOf(rebar)[0].hidden);
  EXPECT_FALSE(Checked(menu, ID_VIEW_TOOLBAR));
  frame().Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(BandsOf(rebar)[0].hidden);
  EXPECT_TRUE(Checked(menu, ID_VIEW_TOOLBAR));
}

// Moved to a display of 150 %, the window takes the size the system
// proposes and the bars are made again at that scale: the toolbar with its
// pictures for 200 %, in a band that stays hidden if it was, the status
// bar with a larger font.
TEST_F(FrameBars, AChangeOfScaleRemakesTheBarsForIt) {
  const auto fontHeight = [](HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
  };
  const LONG smallFont = fontHeight(frame().frame().statusBar());
  const LRESULT smallButton = SendMessageW(frame().frame().toolbar(), TB_GETBUTTONSIZE, 0, 0);
  frame().Command(ID_VIEW_TOOLBAR);  // hidden before the change

  RECT proposed = {10, 20, 10 + 960, 20 + 720};
  SendMessageW(frame().hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&proposed));
  frame().RunMessages();
  RECT now;
  GetWindowRect(frame().hwnd(), &now);
  EXPECT_EQ(now.right - now.left, 960);
  EXPECT_EQ(now.bottom - now.top, 720);
  HWND toolbar = frame().frame().toolbar();
  EXPECT_GT(HIWORD(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0)), HIWORD(smallButton));
  ASSERT_EQ(BandsOf(frame().frame().rebar()).size(), 1u);
  EXPECT_EQ(BandsOf(frame().frame().rebar())[0].child, toolbar);
  EXPECT_TRUE(BandsOf(frame().frame().rebar())[0].hidden);
  EXPECT_GT(fontHeight(frame().frame().statusBar()), smallFont);
  frame().Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(BandsOf(frame().frame().rebar())[0].hidden);
}

// Before Windows 10 1607 the system gives the status bar's font at its own
// scale only: scaled, it matches the one asked at the window's scale.
TEST(StatusFont, ScaledFromTheSystemsScaleWhereThereIsNoPerDpiCall) {
  for (UINT dpi : {96u, 120u, 144u, 192u}) {
    LOGFONTW asked = {}, scaled = {};
    ASSERT_TRUE(StatusFontAt(dpi, true, &asked));
    ASSERT_TRUE(StatusFontAt(dpi, false, &scaled));
    EXPECT_LE(std::abs(std::abs(scaled.lfHeight) - std::abs(asked.lfHeight)), 1) << dpi;
    EXPECT_EQ(std::wstring(scaled.lfFaceName), std::wstring(asked.lfFaceName));
  }
  LOGFONTW at96 = {}, at192 = {};
  StatusFontAt(96, false, &at96);
  StatusFontAt(192, false, &at192);
  EXPECT_EQ(at192.lfHeight, 2 * at96.lfHeight);
}

// The layout follows: the view reaches the bottom while the status bar is
// hidden, and the bar's own top edge while it shows.
TEST_F(FrameBars, StatusBarCommandFollowsTheBarsVisibility) {
  HWND frameWindow = frame().hwnd(), bar = frame().frame().statusBar(), view = frame().viewWindow();
  HMENU menu = frame().menu();
  RECT client;
  GetClientRect(frameWindow, &client);
  ASSERT_TRUE(IsWindowVisible(bar));
  EXPECT_EQ(WindowRectIn(view, frameWindow).bottom, WindowRectIn(bar, frameWindow).top);
  EXPECT_EQ(WindowRectIn(view, frameWindow).top, WindowRectIn(frame().frame().rebar(), frameWindow).bottom);

  frame().Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_FALSE(Checked(menu, ID_VIEW_STATUS_BAR));
  EXPECT_EQ(WindowRectIn(view, frameWindow).bottom, client.bottom);

  frame().Command(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_TRUE(Checked(menu, ID_VIEW_STATUS_BAR));
  EXPECT_EQ(WindowRectIn(view, frameWindow).bottom, WindowRectIn(bar, frameWindow).top);

  // The command asks the window, not a flag: a bar hidden from elsewhere is
  // shown by the next use.
  ShowWindow(bar, SW_HIDE);
  frame().Command(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_TRUE(Checked(menu, ID_VIEW_STATUS_BAR));
}

TEST_F(FrameBars, IdleTimeRefreshesTheCheckMarks) {
  HMENU menu = frame().menu();
  ShowWindow(frame().frame().statusBar(), SW_HIDE);
  CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | MF_UNCHECKED);
  frame().frame().OnIdle();
  EXPECT_FALSE(Checked(menu, ID_VIEW_STATUS_BAR));
  EXPECT_TRUE(Checked(menu, ID_VIEW_TOOLBAR));
}

// While a menu item is highlighted the status bar shows the first line of
// its string-table entry; when the menu closes, "Ready".
TEST_F(FrameBars, StatusBarPromptsOfHighlightedMenuItems) {
  HWND bar = frame().frame().statusBar();
  HMENU menu = frame().menu();
  EXPECT_EQ(StatusText(bar), AnsiText(IDS_READY));
  const auto highlight = [&](UINT item, UINT flags) {
    SendMessageA(frame().hwnd(), WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu));
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0)) << item;
    return StatusText(bar);
  };
  // The texts themselves are the resource tests'; here which line shows.
  EXPECT_EQ(highlight(ID_FILE_NEW, MF_STRING), LineOf(AnsiText(ID_FILE_NEW), 0));
  EXPECT_EQ(highlight(ID_FILE_OPEN_FOREGROUND, MF_STRING), LineOf(AnsiText(ID_FILE_OPEN_FOREGROUND), 0));
  EXPECT_EQ(highlight(ID_FILE_FORCE_FOREGROUND, MF_STRING), LineOf(AnsiText(ID_FILE_FORCE_FOREGROUND), 0));
  EXPECT_EQ(highlight(ID_VIEW_CENTRE_FOREGROUND, MF_STRING), AnsiText(ID_VIEW_CENTRE_FOREGROUND));
  EXPECT_EQ(highlight(ID_APP_EXIT, MF_STRING), LineOf(AnsiText(ID_APP_EXIT), 0));
  for (UINT id : {ID_BROWSE_NEXT_FOREGROUND, ID_BROWSE_PREVIOUS_FOREGROUND, ID_BROWSE_NEXT_BACKGROUND,
                  ID_BROWSE_PREVIOUS_BACKGROUND}) {
    EXPECT_NE(LineOf(AnsiText(id), 1), "") << id;  // a tool-tip, for a button one day
    EXPECT_EQ(highlight(id, MF_STRING), LineOf(AnsiText(id), 0));
  }
  EXPECT_EQ(highlight(ID_RECENT_FOREGROUND_FIRST, MF_STRING), AnsiText(IDS_OPEN_RECENT_PROMPT));
  EXPECT_EQ(highlight(ID_RECENT_FOREGROUND_LAST, MF_STRING), AnsiText(IDS_OPEN_RECENT_PROMPT));
  // Entries without a text of their own.
  EXPECT_EQ(highlight(ID_RECENT_BACKGROUND_FIRST, MF_STRING), "");
  EXPECT_EQ(highlight(ID_WALLPAPER_TILE, MF_STRING), "");
  EXPECT_EQ(highlight(0, MF_POPUP), "");
  // System-menu items: 0xE000 with bits 4 to 15 of the command.
  EXPECT_EQ(highlight(SC_SIZE, MF_STRING | MF_SYSMENU), AnsiText(IDS_SC_SIZE));
  EXPECT_EQ(highlight(SC_CLOSE, MF_STRING | MF_SYSMENU), AnsiText(IDS_SC_CLOSE));

  SendMessageA(frame().hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(bar), AnsiText(IDS_READY));
}

// The tool-tip is the second line of a button's entry, asked of the frame
// in either character set, and shown by the toolbar's tool-tip control.
TEST_F(FrameBars, ToolTipsOfTheToolbarButtons) {
  HWND toolbar = frame().frame().toolbar();
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
  for (UINT id : {ID_FILE_NEW, ID_FILE_FORCE_FOREGROUND, ID_FILE_SAVE_COMPOSITE, ID_EDIT_CUT, ID_EDIT_COPY_COMPOSITE,
                  ID_EDIT_PASTE, ID_FILE_PRINT, ID_APP_ABOUT}) {
    const std::string tip = LineOf(AnsiText(id), 1);
    NMTTDISPINFOA ansi = {};
    ansi.hdr = {tips, id, TTN_GETDISPINFOA};
    SendMessageA(frame().hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&ansi));
    ASSERT_TRUE(ansi.lpszText) << id;
    EXPECT_EQ(std::string(ansi.lpszText), tip) << id;

    NMTTDISPINFOW wide = {};
    wide.hdr = {tips, id, TTN_GETDISPINFOW};
    SendMessageA(frame().hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&wide));
    ASSERT_TRUE(wide.lpszText) << id;
    char text[100] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.lpszText, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_EQ(std::string(text), tip) << id;

    // What the toolbar's own tool-tip control shows: it asks the toolbar,
    // which asks the frame.
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = toolbar;
    tool.uId = id;
    char shown[100] = {};
    tool.lpszText = shown;
    SendMessageA(tips, TTM_GETTEXTA, sizeof shown, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::string(shown), tip) << id;
  }
}

// Each key of the commands table, pressed in the view: the message loop
// offers it to the frame's filter first. The commands it gives are kept
// and not run.
TEST_F(FrameTest, KeysGiveTheirCommands) {
  struct Key {
    UINT key;
    bool control, shift, alt;
    UINT command;
  } keys[] = {
      {'N', true, false, false, ID_FILE_NEW},
      {'O', true, false, true, ID_FILE_OPEN_FOREGROUND},
      {'O', true, true, false, ID_FILE_OPEN_BACKGROUND},
      {'O', true, false, false, ID_FILE_FORCE_FOREGROUND},
      {'S', true, false, false, ID_FILE_SAVE_COMPOSITE},
      {'P', true, false, false, ID_FILE_PRINT},
      {'C', true, false, false, ID_EDIT_COPY_COMPOSITE},
      {VK_INSERT, true, false, false, ID_EDIT_COPY_COMPOSITE},
      {'V', true, false, false, ID_EDIT_PASTE},
      {VK_INSERT, false, true, false, ID_EDIT_PASTE},
      {'X', true, false, false, ID_EDIT_CUT},
      {VK_DELETE, false, true, false, ID_EDIT_CUT},
      {'Z', true, false, false, ID_EDIT_UNDO},
      {VK_BACK, false, false, true, ID_EDIT_UNDO},
      {VK_F6, false, false, false, ID_NEXT_PANE},
      {VK_F6, false, true, false, ID_PREV_PANE},
      {VK_NEXT, false, false, false, ID_BROWSE_NEXT_FOREGROUND},
      {VK_PRIOR, false, false, false, ID_BROWSE_PREVIOUS_FOREGROUND},
      {VK_NEXT, true, false, false, ID_BROWSE_NEXT_BACKGROUND},
      {VK_PRIOR, true, false, false, ID_BROWSE_PREVIOUS_BACKGROUND},
      {VK_OEM_PLUS, true, false, false, ID_VIEW_ZOOM_IN},
      {VK_OEM_PLUS, true, true, false, ID_VIEW_ZOOM_IN},
      {VK_ADD, true, false, false, ID_VIEW_ZOOM_IN},
      {VK_OEM_MINUS, true, false, false, ID_VIEW_ZOOM_OUT},
      {VK_SUBTRACT, true, false, false, ID_VIEW_ZOOM_OUT},
      {'0', true, false, false, ID_VIEW_ZOOM_ACTUAL},
      {VK_NUMPAD0, true, false, false, ID_VIEW_ZOOM_ACTUAL},
      {'9', true, false, false, ID_VIEW_ZOOM_FIT},
      // Keys without a command.
      {'O', false, false, false, 0},
      {'A', true, false, false, 0},
      {'N', true, true, false, 0},
      {VK_OEM_PLUS, false, false, false, 0},
      {'0', false, false, false, 0},
  };
  CommandRecorder commands(frame().hwnd(), false);
  BYTE state[256] = {};
  for (const Key& k : keys) {
    state[VK_CONTROL] = k.control ? 0x80 : 0;
    state[VK_SHIFT] = k.shift ? 0x80 : 0;
    state[VK_MENU] = k.alt ? 0x80 : 0;
    state[k.key] = 0x80;
    ASSERT_TRUE(SetKeyboardState(state));
    // Alt without Ctrl makes a system key.
    const UINT message = k.alt && !k.control ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const LPARAM details = 1 | (MapVirtualKeyA(k.key, MAPVK_VK_TO_VSC) << 16) | (k.alt ? 1u << 29 : 0);
    commands.Clear();
    PostMessageA(frame().viewWindow(), message, k.key, details);
    frame().RunMessages();
    state[k.key] = 0;
    EXPECT_EQ(commands.ids(), k.command ? std::vector<UINT>{k.command} : std::vector<UINT>{})
        << k.key << " " << k.control << k.shift << k.alt;
  }
  const BYTE released[256] = {};
  SetKeyboardState(const_cast<BYTE*>(released));
}

}  // namespace
