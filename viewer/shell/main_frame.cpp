#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include <vector>

#include "platform/windows/text.h"
#include "viewer/engine/path_text.h"
#include "viewer/resources/resource.h"
#include "viewer/resources/toolbar_buttons.h"
#include "viewer/shell/about_dlg.h"
#include "viewer/shell/open_dialog.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/recent_menu_windows.h"
#include "viewer/shell/strings.h"

namespace {

constexpr int kRecentCapacity = 8;
constexpr UINT kSimpleStatusPart = 255;

// Flipped by the Toolbar command and never read back from the window: the
// command toggles it whatever the band's state.
bool toolbarShown = true;

constexpr DWORD kBarStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Displays of 150 % and more get the toolbar pictures for 200 %.
constexpr UINT kLargePicturesDpi = 144;

bool IsRecentForeground(WORD id) { return id >= ID_RECENT_FOREGROUND_FIRST && id <= ID_RECENT_FOREGROUND_LAST; }
bool IsRecentBackground(WORD id) { return id >= ID_RECENT_BACKGROUND_FIRST && id <= ID_RECENT_BACKGROUND_LAST; }

// The string-table entry that prompts for a highlighted menu item.
UINT PromptIdOf(UINT item, UINT flags) {
  if (flags & MF_SYSMENU) return 0xE000 | (item >> 4);
  if (IsRecentForeground(static_cast<WORD>(item))) return IDS_OPEN_RECENT_PROMPT;
  return item;
}

}  // namespace

CMainFrame::~CMainFrame() {
  if (hwnd()) DestroyWindow(hwnd());
  if (statusFont_) DeleteObject(statusFont_);
}

HWND CMainFrame::Create() {
  WNDCLASSEXW windowClass = {};
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  windowClass.lpszClassName = L"TrellinFrame";
  accelerators_ = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  return Window::Create(windowClass, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, LoadText(IDR_MAINFRAME).c_str(),
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, kDefaultPlace, nullptr,
                        LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
}

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_COMMAND:
      // Commands the frame does not run itself go on to the view.
      if (!OnFrameCommand(LOWORD(wParam)) && view_.hwnd()) SendMessageW(view_.hwnd(), WM_COMMAND, wParam, lParam);
      return 0;
    case WM_INITMENUPOPUP:
      SetCheckMarks();
      break;
    case WM_MENUSELECT:
      OnMenuSelect(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETFOCUS:
      if (view_.hwnd()) SetFocus(view_.hwnd());
      return 0;
    case WM_DESTROY:
      loop_.RemoveMessageFilter(this);
      loop_.RemoveIdleHandler(this);
      PostQuitMessage(1);
      return 0;
  }
  return Default(message, wParam, lParam);
}

LRESULT CMainFrame::OnCreate() {
  LoadRecentLists();
  const UINT dpi = GetDpiForWindow(hwnd());
  CreateBars(dpi);
  CreateStatusBar();
  SetStatusFont(dpi);
  view_.Create(hwnd());
  SetCheckMarks();
  loop_.AddMessageFilter(this);
  loop_.AddIdleHandler(this);
  return 0;
}

// The File menu's third and fourth items from its end are the recent
// background and foreground submenus.
void CMainFrame::LoadRecentLists() {
  const std::string settings = ModuleSettingsFilePath();
  HMENU file = GetSubMenu(GetMenu(hwnd()), 0);
  const int items = GetMenuItemCount(file);
  WindowsSettingsReader reader;
  const struct {
    RecentImageList& list;
    int position;
    const char* section;
  } lists[] = {{recentBackgrounds_, items - 3, kRecentBackgroundSection},
               {recentForegrounds_, items - 4, kRecentForegroundSection}};
  for (const auto& l : lists) {
    l.list.BindMenu(std::make_unique<WindowsRecentMenu>(GetSubMenu(file, l.position)));
    l.list.SetCapacity(kRecentCapacity);
    l.list.LoadFromSettings(reader, settings, l.section);
  }
}

// The toolbar in its rebar band, with pictures for the window's display;
// made again, in place of the old ones, when the display's scale changes.
void CMainFrame::CreateBars(UINT dpi) {
  if (rebar_) DestroyWindow(rebar_);  // and the toolbar in its band
  CreateToolbar(dpi);
  CreateRebar();
  if (!toolbarShown) ShowToolbarBand(false);
}

void CMainFrame::CreateToolbar(UINT dpi) {
  toolbar_ =
      CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kBarStyle | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0, hwnd(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_TOOLBAR)), Instance(), nullptr);
  const bool large = dpi >= kLargePicturesDpi;
  const int scale = large ? 2 : 1;
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0,
               MAKELPARAM(kToolbarButtonWidth * scale, kToolbarButtonHeight * scale));
  std::vector<TBBUTTON> buttons;
  int picture = 0;
  for (unsigned id : kToolbarButtons) {
    TBBUTTON button = {};
    button.idCommand = static_cast<int>(id);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = id == kToolbarSeparator ? BTNS_SEP : BTNS_BUTTON;
    button.iBitmap = id == kToolbarSeparator ? 0 : picture++;
    buttons.push_back(button);
  }
  TBADDBITMAP bitmap = {Instance(), static_cast<UINT_PTR>(large ? IDB_TOOLBAR_200 : IDR_MAINFRAME)};
  SendMessageW(toolbar_, TB_ADDBITMAP, picture, reinterpret_cast<LPARAM>(&bitmap));
  SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void CMainFrame::CreateRebar() {
  rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                               RBS_AUTOSIZE | CCS_NODIVIDER,
                           0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_TOOLBAR)),
                           Instance(), nullptr);
  SIZE size = {};
  SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
  REBARBANDINFOW band = {};
  band.cbSize = REBARBANDINFOA_V3_SIZE;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_BREAK;
  band.hwndChild = toolbar_;
  band.cxMinChild = size.cx;
  band.cyMinChild = size.cy;
  band.cx = size.cx;
  band.wID = kToolbarBandId;
  SendMessageW(rebar_, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

void CMainFrame::ShowToolbarBand(bool show) {
  const LRESULT band = SendMessageW(rebar_, RB_IDTOINDEX, kToolbarBandId, 0);
  SendMessageW(rebar_, RB_SHOWBAND, static_cast<WPARAM>(band), show);
}

void CMainFrame::CreateStatusBar() {
  statusBar_ = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP,
                                   LoadText(IDS_READY).c_str(), hwnd(), ID_VIEW_STATUS_BAR);
}

// The system's status-bar font at the window's own scale: the status bar
// does not follow a change of scale by itself.
void CMainFrame::SetStatusFont(UINT dpi) {
  NONCLIENTMETRICSW metrics = {sizeof metrics};
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
    return;
  HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
  if (!font) return;
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (statusFont_) DeleteObject(statusFont_);
  statusFont_ = font;
}

// Moved to a display of another scale: the window takes the size the
// system proposes, the bars are made for the new scale. The picture is
// drawn in device pixels at any scale, so the view has nothing to do.
void CMainFrame::OnDpiChanged(UINT dpi, const RECT& proposed) {
  SetWindowPos(hwnd(), nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
               proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
  CreateBars(dpi);
  SetStatusFont(dpi);
  Layout();
}

// The rebar across the top, the status bar at the bottom when shown, the
// view in between.
void CMainFrame::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  LONG top = 0, bottom = client.bottom;
  if (rebar_) {
    SendMessageW(rebar_, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(rebar_, &bar);
    top = bar.bottom - bar.top;
  }
  if (statusBar_ && IsWindowVisible(statusBar_)) {
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(statusBar_, &bar);
    bottom -= bar.bottom - bar.top;
  }
  if (view_.hwnd()) MoveWindow(view_.hwnd(), 0, top, client.right, std::max<LONG>(0, bottom - top), TRUE);
}

void CMainFrame::SetCheckMarks() {
  HMENU menu = GetMenu(hwnd());
  CheckMenuItem(menu, ID_VIEW_TOOLBAR, MF_BYCOMMAND | (toolbarShown ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, ID_VIEW_STATUS_BAR,
                MF_BYCOMMAND | (statusBar_ && IsWindowVisible(statusBar_) ? MF_CHECKED : MF_UNCHECKED));
}

bool CMainFrame::PreTranslateMessage(MSG* message) {
  return accelerators_ && TranslateAcceleratorW(hwnd(), accelerators_, message);
}

void CMainFrame::OnIdle() { SetCheckMarks(); }

// While a menu item is highlighted the status bar shows its prompt; when
// the menu closes it shows "Ready" again.
void CMainFrame::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  const UINT item = LOWORD(wParam), flags = HIWORD(wParam);
  if (flags == 0xFFFF && lParam == 0) {
    SendMessageW(statusBar_, SB_SIMPLE, FALSE, 0);
    return;
  }
  const std::wstring prompt = flags & (MF_POPUP | MF_SEPARATOR) ? std::wstring() : PromptOf(PromptIdOf(item, flags));
  SendMessageW(statusBar_, SB_SIMPLE, TRUE, 0);
  SendMessageW(statusBar_, SB_SETTEXTW, kSimpleStatusPart | SBT_NOBORDERS, reinterpret_cast<LPARAM>(prompt.c_str()));
}

// A toolbar button's tool-tip; the rebar's height changes.
bool CMainFrame::OnNotify(const NMHDR& header) {
  if (header.code == RBN_HEIGHTCHANGE) {
    Layout();
    return true;
  }
  if (header.code != TTN_GETDISPINFOA && header.code != TTN_GETDISPINFOW) return false;
  // The text must outlive the notification.
  static std::wstring tip;
  static std::string ansiTip;
  tip = ToolTipOf(static_cast<UINT>(header.idFrom));
  if (header.code == TTN_GETDISPINFOW) {
    reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header)).lpszText = tip.data();
  } else {
    ansiTip = platform::ToAnsiLossy(tip);
    reinterpret_cast<NMTTDISPINFOA&>(const_cast<NMHDR&>(header)).lpszText = ansiTip.data();
  }
  return true;
}

bool CMainFrame::OnFrameCommand(WORD id) {
  switch (id) {
    case ID_FILE_NEW:
      OnNew();
      return true;
    case ID_FILE_OPEN_FOREGROUND:
    case ID_FILE_FORCE_FOREGROUND:
    case ID_FILE_OPEN_BACKGROUND:
      OnOpen(id);
      return true;
    case ID_APP_EXIT:
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return true;
    case ID_VIEW_TOOLBAR:
      OnToolbar();
      return true;
    case ID_VIEW_STATUS_BAR:
      OnStatusBar();
      return true;
    case ID_APP_ABOUT:
      OnAbout();
      return true;
  }
  if (IsRecentForeground(id)) {
    OnRecentForeground(id);
    return true;
  }
  if (IsRecentBackground(id)) {
    OnRecentBackground(id);
    return true;
  }
  return false;
}

void CMainFrame::OnOpen(WORD id) {
  const bool background = id == ID_FILE_OPEN_BACKGROUND;
  const auto chosen =
      RunOpenDialog(hwnd(), background ? IDS_OPEN_BACKGROUND_TITLE : IDS_OPEN_FOREGROUND_TITLE, view_.plugins());
  if (!chosen) return;
  const char* path = chosen->path.c_str();  // UTF-8
  const SpiResult result = id == ID_FILE_FORCE_FOREGROUND ? view_.ForceForeground(path)
                           : background                   ? view_.OpenImage(path, kMayBeBackground)
                                                          : view_.OpenImage(path, kMayBeForeground);
  if (result != SpiResult::Ok) return ShowOpenFailure(result, !background, chosen->title);
  (background ? recentBackgrounds_ : recentForegrounds_).Add(chosen->path);
  view_.RefreshCaption();
}

// Recent foregrounds reopen through the forcing path, whichever command
// first opened them: a picture without alpha comes back keyed.
void CMainFrame::OnRecentForeground(WORD id) { ReopenRecent(recentForegrounds_, id, true); }

void CMainFrame::OnRecentBackground(WORD id) { ReopenRecent(recentBackgrounds_, id, false); }

// An entry that no longer opens is reported and leaves the list; one that
// opens moves to the top.
void CMainFrame::ReopenRecent(RecentImageList& list, WORD id, bool foreground) {
  const auto path = list.Get(id);
  if (!path) return;
  const SpiResult result =
      foreground ? view_.ForceForeground(path->c_str()) : view_.OpenImage(path->c_str(), kMayBeBackground);
  if (result != SpiResult::Ok) {
    ShowOpenFailure(result, foreground, FileNamePart(*path));
    list.Remove(id);
    return;
  }
  list.Promote(id);
  view_.RefreshCaption();
}

void CMainFrame::OnToolbar() {
  toolbarShown = !toolbarShown;
  ShowToolbarBand(toolbarShown);
  SetCheckMarks();
  Layout();
}

void CMainFrame::OnStatusBar() {
  const bool show = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  SetCheckMarks();
  Layout();
}

void CMainFrame::OnNew() {
  view_.ClearImages();
  view_.RefreshCaption();
}

void CMainFrame::OnAbout() {
  CAboutDlg about;
  about.DoModal(GetActiveWindow());
}

// A read error of the plug-in has a message of its own; every other code
// says the picture is broken or of the wrong kind for the command.
void CMainFrame::ShowOpenFailure(SpiResult result, bool foreground, const std::string& caption) {
  const UINT text = result == SpiResult::FileReadError ? IDS_IMAGE_UNREADABLE
                    : foreground               ? IDS_BROKEN_OR_NO_ALPHA
                                               : IDS_BROKEN_OR_ALPHA_BACKGROUND;
  MessageBoxW(hwnd(), LoadText(text).c_str(), platform::Utf16(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

// Nothing is written while the program runs: the lists go to the settings
// file once, after the frame's last message.
void CMainFrame::OnFinalMessage() {
  const std::string settings = ModuleSettingsFilePath();
  WindowsSectionWriter writer;
  recentBackgrounds_.SaveToSettings(writer, settings, kRecentBackgroundSection);
  recentForegrounds_.SaveToSettings(writer, settings, kRecentForegroundSection);
}
