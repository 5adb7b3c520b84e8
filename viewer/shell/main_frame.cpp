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
                        LoadLanguageMenu(IDR_MAINFRAME));
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
  view_.Create(hwnd());
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

// The one rule for the state of the commands: the commands with a state
// are the two bar switches, checked while their bar shows, and the
// languages, the one shown with a radio mark. No command is greyed for
// want of a picture (those that need one check for it themselves); only
// an empty recent list's one item is, by the list.
void CMainFrame::UpdateCommandState() {
  const struct {
    UINT id;
    bool checked;
  } commands[] = {{ID_VIEW_TOOLBAR, toolbarShown_}, {ID_VIEW_STATUS_BAR, statusBar_ && IsWindowVisible(statusBar_)}};
  for (const auto& command : commands)
    CheckMenuItem(GetMenu(hwnd()), command.id, MF_BYCOMMAND | (command.checked ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuRadioItem(GetMenu(hwnd()), ID_VIEW_LANGUAGE_JAPANESE, ID_VIEW_LANGUAGE_ENGLISH,
                     CurrentLanguage() == Language::kJapanese ? ID_VIEW_LANGUAGE_JAPANESE : ID_VIEW_LANGUAGE_ENGLISH,
                     MF_BYCOMMAND);
}

bool CMainFrame::PreTranslateMessage(MSG* message) {
  return accelerators_ && TranslateAcceleratorW(hwnd(), accelerators_, message);
}

// The idle refresh: what a menu shows is right also while it stays open.
void CMainFrame::OnIdle() { UpdateCommandState(); }
