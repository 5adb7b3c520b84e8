#include "viewer/shell/trellin_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include "platform/windows/text.h"
#include "viewer/resources/resource.h"
#include "viewer/shell/dropped_file.h"
#include "viewer/shell/strings.h"

namespace {

Extent SizeOf(const BitmapInfoHeader& header) { return {header.biWidth, header.biHeight}; }

}  // namespace

// A system colour as a brush: its index plus one.
HBRUSH CTrellinView::FillBrush() { return reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1); }

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
      RenderClipboard(true);
      return 0;
    case WM_RENDERFORMAT:
      if (wParam != CF_DIB) break;
      RenderClipboard(false);
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
      // With Ctrl the wheel zooms about the pointer; without, it scrolls.
      if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
        OnZoomWheel(GET_WHEEL_DELTA_WPARAM(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      } else {
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), false);
      }
      return 0;
    case WM_MOUSEHWHEEL:
      // A tilt to the right is positive and scrolls right.
      OnWheel(-GET_WHEEL_DELTA_WPARAM(wParam), true);
      return 0;
    case WM_SIZE:
      if (zoom_.fit()) {
        RefitToWindow();
      } else {
        ScrollTo(scroll_.position());
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      if (Zoomed100()) {
        SetViewportOrgEx(dc, -scroll_.position().x, -scroll_.position().y, nullptr);
        Paint(dc, true);
      } else {
        PaintZoomed(dc, paint.rcPaint);
      }
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (!Zoomed100()) {
        const Extent client = ClientSize();
        PaintZoomed(dc, RECT{0, 0, client.width, client.height});
        return 0;
      }
      POINT origin;
      SetViewportOrgEx(dc, -scroll_.position().x, -scroll_.position().y, &origin);
      Paint(dc, true);
      SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
      return 0;
    }
  }
  return Default(message, wParam, lParam);
}

// A command whose needs are not met does nothing: nothing is greyed.
bool CTrellinView::OnCommand(UINT id) {
  const Command* command = FindCommand(id);
  if (!command || !command->onView) return false;
  if (NeedsMet(command->needs, document_.HasForeground(), document_.HasBackground())) (this->*command->onView)(id);
  return true;
}

void CTrellinView::OnCentreForeground(UINT) { CentreForeground(); }

SpiResult CTrellinView::OpenImage(const char* path, int mode) {
  Replaced replaced = Replaced::Nothing;
  const SpiResult result = document_.OpenImage(path, mode, &replaced);
  AfterReplacing(replaced);
  if (replaced == Replaced::Foreground) foregroundSource_ = Source{path, false};
  if (replaced == Replaced::Background) backgroundSource_ = Source{path, false};
  return result;
}

SpiResult CTrellinView::ForceForeground(const char* path) {
  const SpiResult result = document_.ForceForeground(path);
  if (result != SpiResult::Ok) return result;
  CentreForeground();
  foregroundSource_ = Source{path, true};
  return result;
}

SpiResult CTrellinView::OpenLikeCurrent(const std::string& path, bool foreground) {
  if (!foreground) return OpenImage(path.c_str(), kMayBeBackground);
  const bool forced = foregroundSource_ && foregroundSource_->forced;
  const bool had = document_.HasForeground();
  const Extent before = SizeOf(document_.foregroundHeader());
  const Point place = offset_;
  const SpiResult result = forced ? ForceForeground(path.c_str()) : OpenImage(path.c_str(), kMayBeForeground);
  const Extent after = SizeOf(document_.foregroundHeader());
  if (result == SpiResult::Ok && had && after.width == before.width && after.height == before.height) {
    offset_ = place;
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
  return result;
}

// A pasted picture comes from no file.
void CTrellinView::AfterReplacing(Replaced replaced) {
  if (replaced == Replaced::Foreground) {
    CentreForeground();
    foregroundSource_.reset();
  }
  if (replaced == Replaced::Background) {
    CreateCompositeSurface();
    backgroundSource_.reset();
  }
}

// A pending copy is rendered while the pictures still exist, so the
// clipboard keeps the composite after they are gone.
void CTrellinView::ClearImages() {
  if (GetClipboardOwner() == hwnd()) SendMessageW(hwnd(), WM_RENDERALLFORMATS, 0, 0);
  document_.ClearImages();
  foregroundSource_.reset();
  backgroundSource_.reset();
  surface_.Delete();
  SetScrollExtent({1, 1});
}

void CTrellinView::RefreshCaption() {
  SetWindowTextW(GetParent(hwnd()), platform::Utf16(document_.Caption(LoadUtf8(IDR_MAINFRAME))).c_str());
}

// A foreground wider or higher than the window lies half its excess in
// from the top-left corner, at a positive position; at a zoom, the window
// is measured in picture pixels.
void CTrellinView::CentreForeground() {
  const Extent client = ClientInPicture(ClientSize(), zoom_.scale());
  const Bgra32View foreground = document_.foreground();
  offset_ = ::CentreForeground(client.width, client.height, foreground.width, foreground.height);
  if (document_.HasBackground()) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    return;
  }
  SetScrollExtent({foreground.width, foreground.height});
  scroll_.SetLine(kPictureLine);
}

void CTrellinView::CreateCompositeSurface() {
  if (surface_.Create(hwnd(), document_.backgroundHeader()) == kCannotShow) {
    ReportFailure(hwnd(), FailureText::CannotShow, static_cast<int32_t>(kCannotShow), LoadText(IDR_MAINFRAME));
    return;
  }
  SetScrollExtent(SizeOf(document_.backgroundHeader()));
  scroll_.SetLine(kPictureLine);
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

// The fill colour where the picture is not: on the screen wherever it is
// scrolled to, on the printer from the client rectangle as it is.
void CTrellinView::FillAround(HDC dc, Extent picture, bool screen) {
  const Extent client = ClientSize();
  for (const Box& box : screen ? ScreenFill(picture, scroll_.position(), client)
                               : PrinterFill(picture, picture_, client)) {
    const RECT rect = {box.left, box.top, box.right, box.bottom};
    FillRect(dc, &rect, FillBrush());
  }
}

void CTrellinView::DrawRows(HDC dc, const BitmapInfoHeader& header, const uint8_t* pixels) {
  BITMAPINFO info = {};
  std::memcpy(&info.bmiHeader, &header, sizeof header);
  SetDIBitsToDevice(dc, 0, 0, header.biWidth, header.biHeight, 0, 0, 0, header.biHeight, pixels, &info, DIB_RGB_COLORS);
}

// Only a press on a pixel of the foreground that is not fully transparent
// grabs it, and only while both pictures are shown. The press is reckoned
// in the picture's pixels, at the scroll position and the zoom.
void CTrellinView::OnButtonDown(LPARAM lParam) {
  if (!document_.HasForeground() || !document_.HasBackground()) return;
  lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const Offset scrolled = scroll_.position();
  const Point inWindow{HoldToInt32(int64_t{lastMouse_.x} + scrolled.x), HoldToInt32(int64_t{lastMouse_.y} + scrolled.y)};
  if (!HitsForeground(document_.foreground(), offset_, PictureCoordinates(inWindow, zoom_.scale()))) return;
  dragging_ = true;
  drag_.Start({lastMouse_.x, lastMouse_.y}, scrolled, zoom_.scale());
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
  const Point moved = drag_.Step({now.x, now.y});
  offset_ = DragForeground(offset_, moved.x, moved.y);
  lastMouse_ = now;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

// Only the first file counts; a name too long for the view is not opened.
void CTrellinView::OnDropFiles(HDROP drop) {
  const std::optional<std::string> name = FirstDroppedName(drop);
  if (name && OpenImage(name->c_str(), kMayBeBackground | kMayBeForeground) == SpiResult::Ok) RefreshCaption();
  DragFinish(drop);
}
