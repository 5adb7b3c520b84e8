// The view's scrolling and fill geometry, in picture pixels (the view draws
// the picture one pixel to one device pixel at every display scale):
// portable, so that it is tested natively. The view window only asks it
// and carries out its answers.
#pragma once

#include <cstdint>
#include <vector>

struct Extent {
  int32_t width = 0;
  int32_t height = 0;
};

struct Offset {
  int32_t x = 0;
  int32_t y = 0;
};

// A rectangle; right and bottom are not in it.
struct Box {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

enum class Axis { Horizontal, Vertical };

// What a scroll bar asks for: a line or a page back (up, left) or on, the
// start, the end, or the thumb's place.
enum class ScrollRequest { LineBack, LineOn, PageBack, PageOn, Start, End, Thumb };

// SPI_GETWHEELSCROLLLINES's answer when the user set the wheel to scroll
// one screen at a time (WHEEL_PAGESCROLL).
inline constexpr uint32_t kWheelPageScroll = 0xFFFFFFFF;
// The wheel delta of one notch (WHEEL_DELTA); finer wheels send parts of it.
inline constexpr int32_t kWheelNotch = 120;

// How far a wheel message of `delta` moves the view: per notch, `lines`
// line steps, or one page step when `lines` is kWheelPageScroll. A turn
// away from the user (a positive delta) moves up or to the left, so the
// step is negative then. Any setting, however large, gives a step within
// ±INT32_MAX.
int32_t WheelScrollStep(int32_t delta, uint32_t lines, int32_t lineStep, int32_t pageStep);

class ScrollModel {
 public:
  // A new extent, at least 1 by 1: the position returns to the top-left,
  // and the steps become a hundredth (line) and a tenth (page) of it, at
  // least a pixel each.
  void SetExtent(Extent extent);
  // The line step, never more than the extent.
  void SetLine(Extent line);

  // Holds `position` within 0 and the extent less the client size and takes
  // it; answers how far the window's contents move (old less new).
  Offset MoveTo(Offset position, Extent client);
  // The position on `axis` that a scroll-bar request asks for (before it is
  // held); `thumb` is the thumb's place for ScrollRequest::Thumb.
  int32_t Requested(Axis axis, ScrollRequest request, int32_t thumb) const;
  // A wheel message (`delta` as the vertical wheel gives it: positive away
  // from the user): moves by WheelScrollStep and answers the contents' move.
  // Where the picture fits the client's height the vertical wheel scrolls
  // sideways.
  Offset Wheel(int32_t delta, uint32_t lines, bool horizontal, Extent client);

  Offset position() const { return position_; }
  Extent extent() const { return extent_; }
  Extent line() const { return line_; }
  Extent page() const { return page_; }

 private:
  Offset position_;
  Extent extent_{1, 1};
  Extent line_{1, 1};
  Extent page_{1, 1};
};

// Where the fill colour goes on the screen, in picture coordinates: every
// part of the visible area (the client area at the scroll position) that
// the picture of size `picture` does not cover. Empty boxes are left out.
std::vector<Box> ScreenFill(Extent picture, Offset position, Extent client);
// On the printer: the strip beside the picture where the client area is
// wider than the extent, and the strip below it where it is higher, both
// reckoned from the client area as it is, without the scroll position.
std::vector<Box> PrinterFill(Extent picture, Extent extent, Extent client);
