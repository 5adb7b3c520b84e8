// The frame's bars: the toolbar in its rebar band and the status bar, made
// for the display's scale and made again when it changes; their layout
// around the view; the status bar's prompts and the toolbar's tool-tips.
#include "viewer/shell/main_frame.h"

#include <commctrl.h>

#include <vector>

#include "platform/windows/text.h"
#include "viewer/resources/resource.h"
#include "viewer/resources/toolbar_buttons.h"
#include "viewer/shell/strings.h"

namespace {

constexpr UINT kSimpleStatusPart = 255;

constexpr DWORD kBarStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;

// Windows 10 has the calls for a window's own scale from version 1607 on;
// before, every window is at the system's scale and the plain calls serve.
template <class Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The scale every window has where the system knows no other.
UINT SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  return getDpiForWindow ? getDpiForWindow(window) : SystemDpi();
}

// Displays of 150 % and more get the toolbar pictures for 200 %.
constexpr UINT kLargePicturesDpi = 144;

// The string-table entry that prompts for a highlighted menu item.
UINT PromptIdOf(UINT item, UINT flags) {
  if (flags & MF_SYSMENU) return 0xE000 | (item >> 4);
  if (item >= ID_RECENT_FOREGROUND_FIRST && item <= ID_RECENT_FOREGROUND_LAST) return IDS_OPEN_RECENT_PROMPT;
  return item;
}

}  // namespace

bool StatusFontAt(UINT dpi, bool perDpiCall, LOGFONTW* font) {
  static const auto forDpi = User32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics = {sizeof metrics};
  if (perDpiCall && forDpi) {
    if (!forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) return false;
    *font = metrics.lfStatusFont;
    return true;
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  *font = metrics.lfStatusFont;
  font->lfHeight = MulDiv(font->lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return true;
}

// The bars at the scale of the window's display.
void CMainFrame::CreateBars() {
  const UINT dpi = WindowDpi(hwnd());
  CreateToolbarBand(dpi);
  CreateStatusBar();
  SetStatusFont(dpi);
}

// The toolbar in its rebar band, with pictures for the window's display;
// made again, in place of the old ones, when the display's scale changes.
void CMainFrame::CreateToolbarBand(UINT dpi) {
  if (rebar_) DestroyWindow(rebar_);  // and the toolbar in its band
  rebar_ = toolbar_ = nullptr;
  CreateToolbar(dpi);
  CreateRebar();
  if (!toolbarShown_) ShowToolbarBand(false);
}

void CMainFrame::CreateToolbar(UINT dpi) {
  toolbar_ =
      CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kBarStyle | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0, hwnd(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_TOOLBAR)), ProgramInstance(), nullptr);
  const bool large = dpi >= kLargePicturesDpi;
  const int scale = large ? 2 : 1;
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(kToolbarButtonWidth * scale, kToolbarButtonHeight * scale));
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
  TBADDBITMAP bitmap = {ProgramInstance(), static_cast<UINT_PTR>(large ? IDB_TOOLBAR_200 : IDR_MAINFRAME)};
  SendMessageW(toolbar_, TB_ADDBITMAP, picture, reinterpret_cast<LPARAM>(&bitmap));
  SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void CMainFrame::CreateRebar() {
  rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                               RBS_AUTOSIZE | CCS_NODIVIDER,
                           0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_TOOLBAR)),
                           ProgramInstance(), nullptr);
  SIZE size = {};
  SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
  REBARBANDINFOW band = {};
  band.cbSize = REBARBANDINFOW_V3_SIZE;
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
  LOGFONTW wanted;
  if (!StatusFontAt(dpi, true, &wanted)) return;
  HFONT font = CreateFontIndirectW(&wanted);
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
  CreateToolbarBand(dpi);
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
    SetStatusParts();
    RECT bar;
    GetWindowRect(statusBar_, &bar);
    bottom -= bar.bottom - bar.top;
  }
  if (view_.hwnd()) MoveWindow(view_.hwnd(), 0, top, client.right, std::max<LONG>(0, bottom - top), TRUE);
}

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
