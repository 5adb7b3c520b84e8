#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include "viewer/resources/resource.h"
#include "viewer/shell/profile_windows.h"
#include "viewer/shell/recent_menu_windows.h"
#include "viewer/shell/strings.h"

namespace {

constexpr int kRecentCapacity = 8;

}  // namespace

// Flipped by the Toolbar command and never read back from the window: the
// command toggles it whatever the band's state.
bool CMainFrame::toolbarShown_ = true;

CMainFrame::~CMainFrame() {
  view_.plugins().SetProgress(nullptr);
  if (hwnd()) DestroyWindow(hwnd());
  if (statusFont_) DeleteObject(statusFont_);
}

HWND CMainFrame::Create() {
  WNDCLASSEXW windowClass = {};
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hIcon = LoadIconW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  windowClass.lpszClassName = L"TrellinFrame";
  accelerators_ = LoadAcceleratorsW(ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  LoadSettings();
  return Window::Create(windowClass, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, LoadText(IDR_MAINFRAME).c_str(),
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, kDefaultPlace, nullptr,
                        LanguageMenu());
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
      UpdateCommandState();
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
  CreateBars();
  openProgress_.SetStatusBar(statusBar_);
  view_.plugins().SetProgress(&openProgress_);
  view_.Create(hwnd());
  LoadZoom();
  UpdateCommandState();
  loop_.AddMessageFilter(this);
  loop_.AddIdleHandler(this);
  return 0;
}

// The File menu's third and fourth items from its end are the recent
// background and foreground submenus.
void CMainFrame::BindRecentLists() {
  HMENU file = GetSubMenu(GetMenu(hwnd()), 0);
  const int items = GetMenuItemCount(file);
  recentBackgrounds_.BindMenu(std::make_unique<WindowsRecentMenu>(GetSubMenu(file, items - 3)));
  recentForegrounds_.BindMenu(std::make_unique<WindowsRecentMenu>(GetSubMenu(file, items - 4)));
}

void CMainFrame::LoadRecentLists() {
  const std::string settings = ModuleSettingsFiles().read;
  WindowsSettingsReader reader;
  BindRecentLists();
  for (const auto& [list, section] : {std::pair{&recentBackgrounds_, kRecentBackgroundSection},
                                      std::pair{&recentForegrounds_, kRecentForegroundSection}}) {
    list->SetCapacity(kRecentCapacity);
    list->LoadFromSettings(reader, settings, section);
  }
}

bool CMainFrame::StatusBarShown() const { return statusBar_ && IsWindowVisible(statusBar_); }

// The one rule for the state of the commands: each row of the command
// table with a check mark gets it from its rule. No command is greyed for
// want of a picture (the table's "needs" make them do nothing instead);
// only an empty recent list's one item is, by the list. The status bar's
// zoom follows too.
void CMainFrame::UpdateCommandState() {
  for (const Command& command : CommandTable()) {
    if (!command.checked) continue;
    const bool checked = (this->*command.checked)();
    CheckMenuItem(GetMenu(hwnd()), command.first, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
  ShowZoom();
}

bool CMainFrame::PreTranslateMessage(MSG* message) {
  return accelerators_ && TranslateAcceleratorW(hwnd(), accelerators_, message);
}

// The idle refresh: what a menu shows is right also while it stays open.
void CMainFrame::OnIdle() { UpdateCommandState(); }
