// The view's scrolling: the scroll bars, the wheels and the window's
// contents moved as the ScrollModel reckons the position.
#include "viewer/shell/trellin_view.h"

#include <utility>

namespace {

// The scroll bars' requests as the model names them; nothing for the
// others (the end of a thumb drag, SB_ENDSCROLL).
std::optional<ScrollRequest> RequestOf(WORD code) {
  static constexpr std::pair<WORD, ScrollRequest> kRequests[] = {
      {SB_LINEUP, ScrollRequest::LineBack}, {SB_LINEDOWN, ScrollRequest::LineOn},
      {SB_PAGEUP, ScrollRequest::PageBack}, {SB_PAGEDOWN, ScrollRequest::PageOn},
      {SB_TOP, ScrollRequest::Start},       {SB_BOTTOM, ScrollRequest::End},
      {SB_THUMBTRACK, ScrollRequest::Thumb}, {SB_THUMBPOSITION, ScrollRequest::Thumb},
  };
  for (const auto& [scrollCode, request] : kRequests) {
    if (scrollCode == code) return request;
  }
  return std::nullopt;
}

}  // namespace

// Every new extent starts at the top-left corner and repaints the whole
// window. The picture is shown at the zoom, fitted anew when it is fitted;
// without one the extent is 1 by 1 at any zoom.
void CTrellinView::SetScrollExtent(Extent picture) {
  picture_ = picture;
  zoom_.Refit(picture_, ClientSize());
  scroll_.SetExtent(HasPicture() ? Zoomed(picture_, zoom_.scale()) : picture_);
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CTrellinView::UpdateScrollBars() {
  const Extent client = ClientSize();
  const struct {
    int bar;
    int32_t extent, page, position;
  } bars[] = {{SB_HORZ, scroll_.extent().width, client.width, scroll_.position().x},
              {SB_VERT, scroll_.extent().height, client.height, scroll_.position().y}};
  for (const auto& b : bars) {
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMin = 0;
    info.nMax = b.extent - 1;
    info.nPage = static_cast<UINT>(std::max(0, b.page));
    info.nPos = b.position;
    SetScrollInfo(hwnd(), b.bar, &info, TRUE);
  }
}

void CTrellinView::ScrollTo(Offset position) { ScrollContents(scroll_.MoveTo(position, ClientSize())); }

// The window's contents move with the position and the uncovered strip is
// repainted.
void CTrellinView::ScrollContents(Offset moved) {
  if (moved.x || moved.y) ScrollWindowEx(hwnd(), moved.x, moved.y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  UpdateScrollBars();
}

void CTrellinView::OnScroll(int bar, WORD code) {
  const std::optional<ScrollRequest> request = RequestOf(code);
  if (!request) return;
  SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
  if (*request == ScrollRequest::Thumb) GetScrollInfo(hwnd(), bar, &info);
  const Axis axis = bar == SB_HORZ ? Axis::Horizontal : Axis::Vertical;
  const int32_t wanted = scroll_.Requested(axis, *request, info.nTrackPos);
  const Offset now = scroll_.position();
  ScrollTo(axis == Axis::Horizontal ? Offset{wanted, now.y} : Offset{now.x, wanted});
}

// A notch moves the system's wheel lines (3 unless set otherwise) times the
// line step, or a page step where the system scrolls a screen at a time.
void CTrellinView::OnWheel(int delta, bool horizontal) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  ScrollContents(scroll_.Wheel(delta, lines, horizontal, ClientSize()));
}

Extent CTrellinView::ClientSize() const {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  return {client.right, client.bottom};
}

