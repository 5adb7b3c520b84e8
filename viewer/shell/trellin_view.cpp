#include "viewer/shell/trellin_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/windows/text.h"
#include "viewer/engine/clipboard.h"
#include "viewer/engine/output.h"
#include "viewer/engine/path_text.h"
#include "viewer/engine/wallpaper.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/dropped_file.h"
#include "viewer/shell/scroll_model.h"
#include "viewer/shell/strings.h"

namespace {

constexpr SIZE kPictureLine = {10, 10};
// The writer's result for memory that cannot be had, shown too when the
// picture to save cannot be made.
constexpr int32_t kNoMemory = 4;
// A system colour as a brush: its index plus one.
HBRUSH FillBrush() { return reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1); }
constexpr int kPathBuffer = MAX_PATH;

SIZE SizeOf(const BitmapInfoHeader& header) { return {header.biWidth, header.biHeight}; }

// A dimension of a step: a fraction of the extent, at least one pixel.
LONG StepOf(LONG extent, LONG fraction) { return std::max<LONG>(1, extent / fraction); }

void FillIfNotEmpty(HDC dc, const RECT& rect) {
  if (rect.left < rect.right && rect.top < rect.bottom) FillRect(dc, &rect, FillBrush());
}

// The printer's name and device mode from the print dialog, locked while
// the job runs.
class PrintSetup {
 public:
  explicit PrintSetup(const PRINTDLGW& dialog) : dialog_(dialog) {
    if (dialog_.hDevMode) mode_ = static_cast<DEVMODEW*>(GlobalLock(dialog_.hDevMode));
    if (auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog_.hDevNames))) {
      device_ = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
      GlobalUnlock(dialog_.hDevNames);
    }
    PRINTER_DEFAULTSW defaults = {nullptr, mode_, PRINTER_ACCESS_USE};
    OpenPrinterW(&device_[0], &printer_, &defaults);
  }
  ~PrintSetup() {
    if (printer_) ClosePrinter(printer_);
    if (mode_) GlobalUnlock(dialog_.hDevMode);
    GlobalFree(dialog_.hDevNames);
    GlobalFree(dialog_.hDevMode);
    DeleteDC(dialog_.hDC);
  }

 private:
  const PRINTDLGW& dialog_;
  DEVMODEW* mode_ = nullptr;
  std::wstring device_;
  HANDLE printer_ = nullptr;
};

// The dialog's file types, from the string table: description and pattern
// pairs separated by '|', each ending in a zero, one more zero at the end.
std::wstring SaveFilter() {
  std::wstring filter = LoadText(IDS_SAVE_FILTER) + L'|';
  for (wchar_t& c : filter) c = c == L'|' ? L'\0' : c;
  return filter + L'\0';
}

}  // namespace

HWND CTrellinView::Create(HWND parent) {
  WNDCLASSEXW windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"TrellinView";
  return Window::Create(windowClass, WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, RECT{0, 0, 0, 0}, parent, nullptr);
}

LRESULT CTrellinView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client area
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(lParam);
      return 0;
    case WM_LBUTTONUP:
      dragging_ = false;
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_RENDERALLFORMATS:
      RenderAllClipboardFormats(hwnd(), document_, CompositePixels());
      return 0;
    case WM_RENDERFORMAT:
      if (wParam != CF_DIB) break;
      RenderClipboard(document_, CompositePixels());
      return 0;
    case WM_COMMAND:
      if (!OnCommand(LOWORD(wParam))) break;
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), false);
      return 0;
    case WM_MOUSEHWHEEL:
      // A tilt to the right is positive and scrolls right.
      OnWheel(-GET_WHEEL_DELTA_WPARAM(wParam), true);
      return 0;
    case WM_SIZE:
      UpdateScrollBars();
      ScrollTo(scroll_.position);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      SetViewportOrgEx(dc, -scroll_.position.x, -scroll_.position.y, nullptr);
      Paint(dc, true);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      POINT origin;
      SetViewportOrgEx(dc, -scroll_.position.x, -scroll_.position.y, &origin);
      Paint(dc, true);
      SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
      return 0;
    }
  }
  return Default(message, wParam, lParam);
}

bool CTrellinView::OnCommand(WORD id) {
  switch (id) {
    case ID_FILE_SAVE_COMPOSITE:
      SaveComposite();
      return true;
    case ID_FILE_PRINT:
      Print();
      return true;
    case ID_WALLPAPER_CENTRE:
    case ID_WALLPAPER_TILE:
    case ID_WALLPAPER_STRETCH:
      SetWallpaper(static_cast<WallpaperCommand>(id));
      return true;
    case ID_EDIT_COPY_COMPOSITE:
      CopyComposite();
      return true;
    case ID_EDIT_PASTE:
      PasteImage();
      return true;
    case ID_VIEW_CENTRE_FOREGROUND:
      if (document_.HasForeground()) CentreForeground();
      return true;
  }
  return false;
}

int CTrellinView::OpenImage(const char* path, int mode) {
  Replaced replaced = Replaced::Nothing;
  const int result = document_.OpenImage(path, mode, &replaced);
  AfterReplacing(replaced);
  return result;
}

int CTrellinView::ForceForeground(const char* path) {
  const int result = document_.ForceForeground(path);
  if (result == 0) CentreForeground();
  return result;
}

void CTrellinView::AfterReplacing(Replaced replaced) {
  if (replaced == Replaced::Foreground) CentreForeground();
  if (replaced == Replaced::Background) CreateCompositeSurface();
}

// A pending copy is rendered while the pictures still exist, so the
// clipboard keeps the composite after they are gone.
void CTrellinView::ClearImages() {
  if (GetClipboardOwner() == hwnd()) SendMessageW(hwnd(), WM_RENDERALLFORMATS, 0, 0);
  document_.ClearImages();
  surface_.Delete();
  SetScrollExtent({1, 1});
}

void CTrellinView::RefreshCaption() {
  SetWindowTextW(GetParent(hwnd()), platform::Utf16(document_.Caption(LoadUtf8(IDR_MAINFRAME))).c_str());
}

// A foreground wider or higher than the window lies half its excess in
// from the top-left corner, at a positive position.
void CTrellinView::CentreForeground() {
  const SIZE client = ClientSize();
  const Bgra32View foreground = document_.foreground();
  offset_ = ::CentreForeground(client.cx, client.cy, foreground.width, foreground.height);
  if (document_.HasBackground()) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    return;
  }
  SetScrollExtent({foreground.width, foreground.height});
  SetScrollLine(kPictureLine);
}

void CTrellinView::CreateCompositeSurface() {
  if (surface_.Create(hwnd(), document_.backgroundHeader()) != 0) {
    ShowMessage(LoadText(IDS_IMAGE_UNREADABLE), LoadText(IDR_MAINFRAME));
    return;
  }
  SetScrollExtent(SizeOf(document_.backgroundHeader()));
  SetScrollLine(kPictureLine);
}

void CTrellinView::Paint(HDC dc, bool screen) {
  const bool foreground = document_.HasForeground(), background = document_.HasBackground();
  if (foreground && background) {
    const Bgr24View b = document_.background();
    const Bgra32View f = document_.foreground();
    FillAround(dc, {b.width, b.height}, screen);
    // Without a surface (it could not be made) the background shows alone.
    if (!surface_.Exists()) return DrawRows(dc, document_.backgroundHeader(), b.pixels);
    Compose(surface_.pixels(), b, f, offset_.x, StoredRowOfTop(offset_.y, b.height, f.height));
    if (!screen) return DrawRows(dc, document_.backgroundHeader(), surface_.pixels());
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, surface_.bitmap());
    BitBlt(dc, 0, 0, b.width, b.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  } else if (foreground) {
    FillAround(dc, SizeOf(document_.foregroundHeader()), screen);
    DrawRows(dc, document_.foregroundHeader(), document_.foreground().pixels);
  } else if (background) {
    FillAround(dc, SizeOf(document_.backgroundHeader()), screen);
    DrawRows(dc, document_.backgroundHeader(), document_.background().pixels);
  } else {
    FillAround(dc, {0, 0}, screen);
  }
}

// The fill colour beside and below the picture. On the screen every part of
// the visible area that the picture does not cover is filled, wherever the
// picture is scrolled to. On the printer the strips are reckoned from the
// view's client rectangle as it is, without the scroll position.
void CTrellinView::FillAround(HDC dc, SIZE picture, bool screen) {
  RECT client;
  GetClientRect(hwnd(), &client);
  if (screen) {
    const RECT visible = {scroll_.position.x, scroll_.position.y, scroll_.position.x + client.right,
                          scroll_.position.y + client.bottom};
    FillIfNotEmpty(
        dc, {std::max(picture.cx, visible.left), visible.top, visible.right, std::min(picture.cy, visible.bottom)});
    FillIfNotEmpty(dc, {visible.left, std::max(picture.cy, visible.top), visible.right, visible.bottom});
    return;
  }
  if (client.right > scroll_.extent.cx) FillIfNotEmpty(dc, {picture.cx, 0, client.right, picture.cy});
  if (client.bottom > scroll_.extent.cy) FillIfNotEmpty(dc, {0, picture.cy, client.right, client.bottom});
}

void CTrellinView::DrawRows(HDC dc, const BitmapInfoHeader& header, const uint8_t* pixels) {
  BITMAPINFO info = {};
  std::memcpy(&info.bmiHeader, &header, sizeof header);
  SetDIBitsToDevice(dc, 0, 0, header.biWidth, header.biHeight, 0, 0, 0, header.biHeight, pixels, &info, DIB_RGB_COLORS);
}

// Every new extent starts at the top-left corner and repaints the whole
// window; its steps are a hundredth (line) and a tenth (page) of it.
void CTrellinView::SetScrollExtent(SIZE extent) {
  scroll_.extent = {std::max<LONG>(1, extent.cx), std::max<LONG>(1, extent.cy)};
  scroll_.position = {0, 0};
  scroll_.line = {StepOf(scroll_.extent.cx, 100), StepOf(scroll_.extent.cy, 100)};
  scroll_.page = {StepOf(scroll_.extent.cx, 10), StepOf(scroll_.extent.cy, 10)};
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CTrellinView::SetScrollLine(SIZE line) {
  scroll_.line = {std::min(line.cx, scroll_.extent.cx), std::min(line.cy, scroll_.extent.cy)};
}

void CTrellinView::UpdateScrollBars() {
  const SIZE client = ClientSize();
  const struct {
    int bar;
    LONG extent, page, position;
  } bars[] = {{SB_HORZ, scroll_.extent.cx, client.cx, scroll_.position.x},
              {SB_VERT, scroll_.extent.cy, client.cy, scroll_.position.y}};
  for (const auto& b : bars) {
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMin = 0;
    info.nMax = b.extent - 1;
    info.nPage = static_cast<UINT>(std::max<LONG>(0, b.page));
    info.nPos = b.position;
    SetScrollInfo(hwnd(), b.bar, &info, TRUE);
  }
}

// Held within 0 and the extent less the client size; the window's contents
// move with the position and the uncovered strip is repainted.
void CTrellinView::ScrollTo(POINT position) {
  const SIZE client = ClientSize();
  position.x = std::clamp<LONG>(position.x, 0, std::max<LONG>(0, scroll_.extent.cx - client.cx));
  position.y = std::clamp<LONG>(position.y, 0, std::max<LONG>(0, scroll_.extent.cy - client.cy));
  const int dx = scroll_.position.x - position.x, dy = scroll_.position.y - position.y;
  scroll_.position = position;
  if (dx || dy) ScrollWindowEx(hwnd(), dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  UpdateScrollBars();
}

void CTrellinView::OnScroll(int bar, WORD request) {
  const bool horizontal = bar == SB_HORZ;
  LONG position = horizontal ? scroll_.position.x : scroll_.position.y;
  const LONG line = horizontal ? scroll_.line.cx : scroll_.line.cy;
  const LONG page = horizontal ? scroll_.page.cx : scroll_.page.cy;
  SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
  switch (request) {
    case SB_LINEUP:
      position -= line;
      break;
    case SB_LINEDOWN:
      position += line;
      break;
    case SB_PAGEUP:
      position -= page;
      break;
    case SB_PAGEDOWN:
      position += page;
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = horizontal ? scroll_.extent.cx : scroll_.extent.cy;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      GetScrollInfo(hwnd(), bar, &info);
      position = info.nTrackPos;
      break;
    default:
      return;
  }
  ScrollTo(horizontal ? POINT{position, scroll_.position.y} : POINT{scroll_.position.x, position});
}

// A notch moves the system's wheel lines (3 unless set otherwise) times the
// line step, or a page step where the system scrolls a screen at a time.
// Where the picture fits the window's height the vertical wheel scrolls
// sideways.
void CTrellinView::OnWheel(int delta, bool horizontal) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (!horizontal && scroll_.extent.cy <= ClientSize().cy) horizontal = true;
  const LONG line = horizontal ? scroll_.line.cx : scroll_.line.cy;
  const LONG page = horizontal ? scroll_.page.cx : scroll_.page.cy;
  const LONG step = WheelScrollStep(delta, lines, line, page);
  // Added in 64 bits: ScrollTo holds the position inside the picture.
  const auto moved = [step](LONG position) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t{position} + step, INT32_MIN, INT32_MAX));
  };
  ScrollTo(horizontal ? POINT{moved(scroll_.position.x), scroll_.position.y}
                      : POINT{scroll_.position.x, moved(scroll_.position.y)});
}

SIZE CTrellinView::ClientSize() const {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  return {client.right, client.bottom};
}

// Only a press on a pixel of the foreground that is not fully transparent
// grabs it, and only while both pictures are shown.
void CTrellinView::OnButtonDown(LPARAM lParam) {
  if (!document_.HasForeground() || !document_.HasBackground()) return;
  lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const Point inPicture{lastMouse_.x + scroll_.position.x, lastMouse_.y + scroll_.position.y};
  if (HitsForeground(document_.foreground(), offset_, inPicture)) dragging_ = true;
}

// A move without the left button ends a drag, also one whose button was
// released outside the window.
void CTrellinView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!dragging_) return;
  if (!(wParam & MK_LBUTTON)) {
    dragging_ = false;
    return;
  }
  const POINT now = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  offset_ = DragForeground(offset_, now.x - lastMouse_.x, now.y - lastMouse_.y);
  lastMouse_ = now;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

// Only the first file counts; a name too long for the view is not opened.
void CTrellinView::OnDropFiles(HDROP drop) {
  const std::optional<std::string> name = FirstDroppedName(drop);
  if (name && OpenImage(name->c_str(), kMayBeBackground | kMayBeForeground) == 0) RefreshCaption();
  DragFinish(drop);
}

void CTrellinView::SaveComposite() {
  if (!document_.HasForeground()) return;
  wchar_t file[kPathBuffer] = {};
  wchar_t title[kPathBuffer] = {};
  // Cut to the buffer between two characters already.
  const std::wstring initial = platform::Utf16(InitialSaveName(document_.foregroundName()));
  initial.copy(file, kPathBuffer - 1);
  const std::wstring filter = SaveFilter();
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathBuffer;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = kPathBuffer;
  dialog.lpstrDefExt = L"bmp";
  dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&dialog)) return;
  OutputPicture picture;
  if (!picture.Choose(document_, CompositePixels()))
    return ShowMessage(LoadText(IDS_WRITER_RESULT_FIRST + ResultTextIndex(kNoMemory)), title);
  const int32_t result = writer_.Save(SaveFormatForTitle(platform::Utf8(title)), platform::Utf8(file).c_str(),
                                      kWriterSave, picture.header(), picture.pixels());
  if (result != 0) ShowMessage(LoadText(IDS_WRITER_RESULT_FIRST + ResultTextIndex(result)), title);
}

void CTrellinView::SetWallpaper(WallpaperCommand command) {
  if (!document_.HasForeground() && !document_.HasBackground()) return;
  OutputPicture picture;
  if (!picture.Choose(document_, CompositePixels()) || !::SetWallpaper(writer_, picture, command))
    ShowMessage(LoadText(IDS_WALLPAPER_FAILED), LoadText(IDS_ERROR_CAPTION));
}

void CTrellinView::CopyComposite() { ::CopyComposite(hwnd(), document_); }

// The caption is refreshed whether or not the paste took.
void CTrellinView::PasteImage() {
  AfterReplacing(::PasteImage(hwnd(), document_, LoadUtf8(IDS_PASTED_NAME)));
  RefreshCaption();
}

// One page: the picture at the page's top-left corner, one pixel to one
// printer pixel, painted as on the screen.
void CTrellinView::Print() {
  if (!document_.HasForeground() && !document_.HasBackground()) return;
  PRINTDLGW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_NOSELECTION | PD_RETURNDC;
  if (!PrintDlgW(&dialog)) return;
  const PrintSetup setup(dialog);
  const std::wstring name = platform::Utf16(
      FileNamePart(document_.HasForeground() ? document_.foregroundName() : document_.backgroundName()));
  DOCINFOW document = {sizeof document};
  document.lpszDocName = name.c_str();
  if (dialog.Flags & PD_PRINTTOFILE) document.lpszOutput = L"FILE:";
  if (StartDocW(dialog.hDC, &document) <= 0) return;
  if (StartPage(dialog.hDC) > 0) {
    const int saved = SaveDC(dialog.hDC);
    PrintPage(dialog.hDC, 0);
    RestoreDC(dialog.hDC, saved);
    EndPage(dialog.hDC);
  }
  EndDoc(dialog.hDC);
}

bool CTrellinView::PrintPage(HDC dc, int page) {
  if (page != 0) return false;
  Paint(dc, false);
  return true;
}

void CTrellinView::ShowMessage(const std::wstring& text, const std::wstring& caption) {
  MessageBoxW(hwnd(), text.c_str(), caption.c_str(), MB_ICONINFORMATION);
}
