// The view's zoom: the zoom commands and Ctrl with the wheel, the scroll
// extent and position a new zoom brings, and the paint at every zoom but
// 100 %, which keeps the paint of one picture pixel to one device pixel.
// The composite surface stays at the picture's own size; a paint scales
// only what the window shows of it, a strip of rows at a time, and copies
// each strip to the window.
#include "viewer/shell/trellin_view.h"

#include <algorithm>
#include <new>

#include "viewer/resources/resource.h"
#include "viewer/shell/strings.h"

void CTrellinView::ChooseZoom(const ZoomChoice& choice) {
  ZoomModel next = zoom_;
  if (choice.fit) {
    next.SetFit(picture_, ClientSize());
  } else if (!next.SetPercent(choice.percent)) {
    return;
  }
  if (!hwnd()) {
    zoom_ = next;
    return;
  }
  ApplyZoom(next, {0, 0});
}

std::wstring CTrellinView::ZoomText() const {
  return TextWithNumber(zoom_.fit() ? IDS_ZOOM_FIT_STATUS : IDS_ZOOM_STATUS, PercentOf(zoom_.scale()));
}

// The keys and menu items zoom about the middle of the window.
void CTrellinView::OnZoomCommand(UINT id) {
  ZoomModel next = zoom_;
  const Extent client = ClientSize();
  switch (id) {
    case ID_VIEW_ZOOM_IN:
      if (!next.StepIn()) return;
      break;
    case ID_VIEW_ZOOM_OUT:
      if (!next.StepOut()) return;
      break;
    case ID_VIEW_ZOOM_ACTUAL:
      next.SetPercent(100);
      break;
    case ID_VIEW_ZOOM_FIT:
      next.SetFit(picture_, client);
      break;
  }
  ApplyZoom(next, {client.width / 2, client.height / 2});
}

// A notch away from the user zooms in by a step, one towards the user out;
// a finer wheel's turns add up to notches. The picture point under the
// pointer stays under it.
void CTrellinView::OnZoomWheel(int delta, POINT screen) {
  if ((zoomWheel_ < 0 && delta > 0) || (zoomWheel_ > 0 && delta < 0)) zoomWheel_ = 0;
  zoomWheel_ += delta;
  ZoomModel next = zoom_;
  bool changed = false;
  for (; zoomWheel_ >= kWheelNotch; zoomWheel_ -= kWheelNotch) changed |= next.StepIn();
  for (; zoomWheel_ <= -kWheelNotch; zoomWheel_ += kWheelNotch) changed |= next.StepOut();
  if (!changed) return;
  ScreenToClient(hwnd(), &screen);
  ApplyZoom(next, {screen.x, screen.y});
}

// The extent at the new zoom, the position that keeps the anchor's picture
// point in place, and a whole repaint. Scroll bars that come or go change
// the client area, and with it a fitted scale: it is fitted again, which
// ends within two turns (a fitted picture needs no scroll bars). A drag
// goes on from the pointer's place at the new zoom.
void CTrellinView::ApplyZoom(const ZoomModel& next, Point anchor) {
  const Scale from = zoom_.scale();
  zoom_ = next;
  Offset position = ZoomAbout(scroll_.position(), anchor, from, zoom_.scale());
  applyingZoom_ = true;
  for (int turn = 0; turn < 3; ++turn) {
    scroll_.SetExtent(HasPicture() ? Zoomed(picture_, zoom_.scale()) : Extent{1, 1});
    if (HasPicture()) scroll_.SetLine(kPictureLine);
    scroll_.MoveTo(position, ClientSize());
    UpdateScrollBars();
    position = scroll_.position();
    if (!zoom_.Refit(picture_, ClientSize())) break;
  }
  scroll_.MoveTo(position, ClientSize());
  UpdateScrollBars();
  applyingZoom_ = false;
  if (dragging_) drag_.Start({lastMouse_.x, lastMouse_.y}, scroll_.position(), zoom_.scale());
  InvalidateRect(hwnd(), nullptr, FALSE);
}

// A resized window fits the picture again; otherwise the position is held
// to the new range.
void CTrellinView::RefitToWindow() {
  if (applyingZoom_) return;
  ZoomModel next = zoom_;
  if (next.Refit(picture_, ClientSize())) {
    ApplyZoom(next, {0, 0});
  } else {
    ScrollTo(scroll_.position());
  }
}

// The client area in client coordinates: the visible part of the zoomed
// picture within the part to paint, then the fill colour wherever the
// picture is not, as at 100 %.
void CTrellinView::PaintZoomed(HDC dc, const RECT& dirty) {
  const Extent client = ClientSize();
  const Offset at = scroll_.position();
  ScaleSource source;
  const bool picture = PaintSource(&source);
  const Extent shown = picture ? scroll_.extent() : Extent{0, 0};
  const RECT zoomed = {-at.x, -at.y, HoldToInt32(int64_t{shown.width} - at.x),
                       HoldToInt32(int64_t{shown.height} - at.y)};
  RECT visible;
  if (picture && IntersectRect(&visible, &zoomed, &dirty)) DrawScaled(dc, source, visible);
  for (const Box& box : ScreenFill(shown, at, client)) {
    const RECT rect = {box.left - at.x, box.top - at.y, box.right - at.x, box.bottom - at.y};
    FillRect(dc, &rect, FillBrush());
  }
}

// What the paint shows: the composite, made anew, with both pictures; the
// background alone where its surface could not be made; otherwise the one
// picture there is, a lone foreground with its premultiplied colour as it
// is.
bool CTrellinView::PaintSource(ScaleSource* source) {
  if (document_.HasBackground()) {
    const Bgr24View b = document_.background();
    const uint8_t* pixels = b.pixels;
    if (document_.HasForeground() && surface_.Exists()) {
      const Bgra32View f = document_.foreground();
      Compose(surface_.pixels(), b, f, offset_.x, StoredRowOfTop(offset_.y, b.height, f.height));
      pixels = surface_.pixels();
    }
    *source = {pixels, b.width, b.height, b.stride, 3};
    return true;
  }
  if (!document_.HasForeground()) return false;
  const Bgra32View f = document_.foreground();
  *source = {f.pixels, f.width, f.height, f.stride, 4};
  return true;
}

// `visible` in client coordinates; the scaler takes it in window pixels.
// Where its tables or the strip cannot be had, the part shows the fill
// colour.
void CTrellinView::DrawScaled(HDC dc, const ScaleSource& source, const RECT& visible) {
  const Offset at = scroll_.position();
  const ScaleRegion region{visible.left + at.x, visible.top + at.y, visible.right - visible.left,
                           visible.bottom - visible.top};
  const int32_t rows = StripRows(region.width);
  try {
    strip_.resize(static_cast<size_t>(region.width) * static_cast<size_t>(rows));
  } catch (const std::bad_alloc&) {
    strip_.clear();
  }
  if (strip_.empty() || !scaler_.Begin(source, zoom_.scale(), region)) {
    FillRect(dc, &visible, FillBrush());
    return;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = region.width;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  for (int32_t y = 0; y < region.height; y += rows) {
    const int32_t count = std::min(rows, region.height - y);
    scaler_.NextRows(count, strip_.data());
    info.bmiHeader.biHeight = -count;  // top row first
    SetDIBitsToDevice(dc, visible.left, visible.top + y, static_cast<DWORD>(region.width), static_cast<DWORD>(count),
                      0, 0, 0, static_cast<UINT>(count), strip_.data(), &info, DIB_RGB_COLORS);
  }
}
