// Compositing: the blend's arithmetic, clipping on every side and far
// outside, and the placement arithmetic of the view.
#include "viewer/engine/compose.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuardBytes = 64;

// A 24-bit background whose every byte is `value` (padding included).
struct Background {
  Background(int32_t w, int32_t h, uint8_t value) : width(w), height(h), size(Bgr24Of(nullptr, w, h).bytes) {
    pixels.assign(size, value);
  }
  Bgr24View View() const { return Bgr24Of(pixels.data(), width, height); }
  int32_t width, height;
  size_t size = 0;
  Bytes pixels;
};

// Opaque foreground pixels that name their own column and stored row.
struct Foreground {
  Foreground(int32_t w, int32_t h) : width(w), height(h), pixels(size_t{4} * w * h) {
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = static_cast<uint8_t>(x);
        p[1] = static_cast<uint8_t>(y);
        p[2] = 200;
        p[3] = 255;
      }
    }
  }
  Bgra32View View() const { return Bgra32Of(pixels.data(), width, height); }
  int32_t width, height;
  Bytes pixels;
};

// Composes into a destination followed by guard bytes; checks the guard.
Bytes ComposeChecked(const Background& bg, const Bgra32View& fg, int32_t x, int32_t storedRow) {
  Bytes destination(bg.size + kGuardBytes, kGuard);
  Compose(destination.data(), bg.View(), fg, x, storedRow);
  for (size_t i = bg.size; i < destination.size(); ++i) EXPECT_EQ(destination[i], kGuard) << "written past the end";
  destination.resize(bg.size);
  return destination;
}

const uint8_t* PixelAt(const Bytes& rows, int32_t width, int32_t x, int32_t storedRow) {
  const size_t stride = Bgr24Of(nullptr, width, 1).stride;
  return &rows[static_cast<size_t>(storedRow) * stride + size_t{3} * x];
}

// Every background pixel that the foreground at (x, storedRow) covers
// shows the foreground pixel that lands there; every other keeps the
// background's value.
void ExpectPlacedAt(const Background& bg, const Foreground& fg, int32_t x, int32_t storedRow) {
  const Bytes out = ComposeChecked(bg, fg.View(), x, storedRow);
  for (int32_t row = 0; row < bg.height; ++row) {
    for (int32_t column = 0; column < bg.width; ++column) {
      const int64_t fx = int64_t{column} - x, fy = int64_t{row} - storedRow;
      const bool covered = fx >= 0 && fx < fg.width && fy >= 0 && fy < fg.height;
      const uint8_t* p = PixelAt(out, bg.width, column, row);
      if (covered) {
        EXPECT_EQ(p[0], fx) << column << "," << row;
        EXPECT_EQ(p[1], fy) << column << "," << row;
        EXPECT_EQ(p[2], 200) << column << "," << row;
      } else {
        EXPECT_EQ(p[0], 7) << column << "," << row;
      }
    }
  }
}

uint8_t ComposeOnePixel(uint8_t foreground, uint8_t alpha, uint8_t background) {
  const Background bg(1, 1, background);
  const Bytes fg{foreground, foreground, foreground, alpha};
  return ComposeChecked(bg, Bgra32Of(fg.data(), 1, 1), 0, 0)[0];
}

TEST(Compose, BlendArithmetic) {
  EXPECT_EQ(ComposeOnePixel(100, 128, 100), 149);  // colour 200 at alpha 128, premultiplied
  EXPECT_EQ(ComposeOnePixel(0, 0, 255), 254);
  EXPECT_EQ(ComposeOnePixel(0, 0, 1), 0);
  EXPECT_EQ(ComposeOnePixel(0, 0, 0), 0);
  EXPECT_EQ(ComposeOnePixel(37, 255, 250), 37);
  EXPECT_EQ(ComposeOnePixel(255, 255, 255), 255);
}

// Rows long enough for the wide blend, with its tail, at every alignment:
// each byte is F + ((B × (255 − a)) >> 8) cut to a byte, also where a
// colour exceeds its alpha (not premultiplied) and the sum wraps.
TEST(Compose, WideRowsFollowTheBlendFormula) {
  Background bg(40, 2, 0);
  for (size_t i = 0; i < bg.pixels.size(); ++i) bg.pixels[i] = static_cast<uint8_t>(i * 37 + 11);
  for (int32_t width : {10, 11, 17, 31, 37}) {
    Bytes fg(size_t{4} * width * 2);
    for (size_t i = 0; i < fg.size(); ++i) fg[i] = static_cast<uint8_t>(i * 53 + width);
    for (int32_t x : {0, 1, 3}) {
      const Bytes out = ComposeChecked(bg, Bgra32Of(fg.data(), width, 2), x, 0);
      for (int32_t row = 0; row < 2; ++row) {
        for (int32_t column = x; column < x + width; ++column) {
          const uint8_t* f = &fg[(static_cast<size_t>(row) * width + (column - x)) * 4];
          const uint8_t* b = PixelAt(bg.pixels, bg.width, column, row);
          for (int c = 0; c < 3; ++c) {
            const uint8_t expected = static_cast<uint8_t>(f[c] + ((b[c] * (255 - f[3])) >> 8));
            ASSERT_EQ(PixelAt(out, bg.width, column, row)[c], expected)
                << "width " << width << " at " << x << ", pixel " << column << "," << row << " byte " << c;
          }
        }
        if (x > 0) {
          EXPECT_EQ(PixelAt(out, bg.width, x - 1, row)[0], PixelAt(bg.pixels, bg.width, x - 1, row)[0]);
        }
        if (x + width < bg.width) {
          EXPECT_EQ(PixelAt(out, bg.width, x + width, row)[0], PixelAt(bg.pixels, bg.width, x + width, row)[0]);
        }
      }
    }
  }
}

TEST(Compose, InsideAndClippedOnEachSide) {
  const Background bg(7, 5, 7);  // rows of 21 bytes padded to 24
  const Foreground fg(3, 2);
  ExpectPlacedAt(bg, fg, 2, 1);   // inside
  ExpectPlacedAt(bg, fg, -2, 1);  // left
  ExpectPlacedAt(bg, fg, 5, 1);   // right
  ExpectPlacedAt(bg, fg, 2, -1);  // bottom
  ExpectPlacedAt(bg, fg, 2, 4);   // top
  ExpectPlacedAt(bg, fg, -1, -1);
  ExpectPlacedAt(bg, fg, 6, 4);
}

TEST(Compose, ForegroundCoveringTheBackgroundBlendsEachPixelOnce) {
  const Background bg(5, 3, 200);
  Bytes half(size_t{4} * 9 * 7);
  for (size_t i = 3; i < half.size(); i += 4) half[i] = 128;  // black at alpha 128
  const Bytes out = ComposeChecked(bg, Bgra32Of(half.data(), 9, 7), -2, -3);
  for (int32_t row = 0; row < 3; ++row) {
    for (int32_t x = 0; x < 5 * 3; ++x) EXPECT_EQ(PixelAt(out, 5, 0, row)[x], 99);  // 200 × 127 >> 8
    EXPECT_EQ(PixelAt(out, 5, 5, row)[0], 200) << "padding is copied, not blended";
  }
}

TEST(Compose, ForegroundWhollyOutsideLeavesTheBackground) {
  Background bg(6, 4, 0);
  for (size_t i = 0; i < bg.pixels.size(); ++i) bg.pixels[i] = static_cast<uint8_t>(i);
  const Foreground fg(3, 2);
  const int32_t positions[][2] = {{6, 0},
                                  {-3, 0},
                                  {0, 4},
                                  {0, -2},
                                  {INT32_MAX, 0},
                                  {INT32_MIN, 0},
                                  {0, INT32_MAX},
                                  {0, INT32_MIN},
                                  {INT32_MAX, INT32_MAX},
                                  {INT32_MIN, INT32_MIN}};
  for (const auto& at : positions) {
    EXPECT_EQ(ComposeChecked(bg, fg.View(), at[0], at[1]), bg.pixels) << at[0] << "," << at[1];
  }
}

// INT32_MIN + INT32_MAX ends left of column 0: x + width is formed
// without overflow, and no pixel of the foreground is read.
TEST(Compose, PositionsNearTheInt32Limits) {
  const Background bg(4, 2, 7);
  const Bytes wide(16, 0);
  const Bgra32View huge{wide.data(), INT32_MAX, 1, size_t{4} * static_cast<size_t>(INT32_MAX), 0};  // only its first pixels can be read
  EXPECT_EQ(ComposeChecked(bg, huge, INT32_MIN, 0), bg.pixels);
}

TEST(Compose, TopOffsetZeroPutsTheTopRowsTogether) {
  const Background bg(4, 6, 7);
  const Foreground fg(2, 3);
  const int32_t storedRow = StoredRowOfTop(0, bg.height, fg.height);
  EXPECT_EQ(storedRow, 3);
  const Bytes out = ComposeChecked(bg, fg.View(), 0, storedRow);
  EXPECT_EQ(PixelAt(out, 4, 0, 5)[1], 2) << "top stored row of both";
  EXPECT_EQ(PixelAt(out, 4, 0, 2)[0], 7) << "below the foreground";
}

TEST(Placement, StoredRowOfTopIsHeldToInt32) {
  EXPECT_EQ(StoredRowOfTop(10, 100, 30), 60);
  EXPECT_EQ(StoredRowOfTop(INT32_MIN, 100, 30), INT32_MAX);
  EXPECT_EQ(StoredRowOfTop(INT32_MAX, 1, INT32_MAX), INT32_MIN);
}

TEST(Placement, CentreTakesTheAbsoluteHalfDifference) {
  EXPECT_EQ(CentreForeground(800, 600, 600, 400).x, 100);
  EXPECT_EQ(CentreForeground(800, 600, 600, 400).y, 100);
  EXPECT_EQ(CentreForeground(800, 600, 1000, 601).x, 100);  // larger: half the excess, positive
  EXPECT_EQ(CentreForeground(800, 600, 1000, 601).y, 0);    // −1 / 2 truncates to 0
  EXPECT_EQ(CentreForeground(801, 600, 600, 801).x, 100);
  EXPECT_EQ(CentreForeground(801, 600, 600, 801).y, 100);
  EXPECT_EQ(CentreForeground(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX).x, INT32_MAX);
  EXPECT_EQ(CentreForeground(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX).y, INT32_MAX);
}

TEST(Placement, DragMovesByTheMouseAndHoldsAtTheLimits) {
  const Point moved = DragForeground(Point{10, 20}, 5, -3);
  EXPECT_EQ(moved.x, 15);
  EXPECT_EQ(moved.y, 17);
  EXPECT_EQ(DragForeground(Point{INT32_MAX - 1, INT32_MIN + 1}, 65535, -65535).x, INT32_MAX);
  EXPECT_EQ(DragForeground(Point{INT32_MAX - 1, INT32_MIN + 1}, 65535, -65535).y, INT32_MIN);
}

TEST(Placement, HitTestReadsTheAlphaUnderThePoint) {
  // 2 × 2: stored bottom row opaque, top row transparent except its right pixel.
  const Bytes fg{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 9};
  const Bgra32View view = Bgra32Of(fg.data(), 2, 2);
  const Point at{10, 20};
  EXPECT_FALSE(HitsForeground(view, at, Point{10, 20}));  // top-left
  EXPECT_TRUE(HitsForeground(view, at, Point{11, 20}));
  EXPECT_TRUE(HitsForeground(view, at, Point{10, 21}));
  EXPECT_FALSE(HitsForeground(view, at, Point{12, 21}));
  EXPECT_FALSE(HitsForeground(view, at, Point{10, 22}));
  EXPECT_FALSE(HitsForeground(view, at, Point{9, 21}));
  EXPECT_FALSE(HitsForeground(view, Point{INT32_MIN, INT32_MIN}, Point{INT32_MAX, INT32_MAX}));
  EXPECT_TRUE(HitsForeground(view, Point{INT32_MAX - 1, INT32_MAX - 1}, Point{INT32_MAX, INT32_MAX - 1}));
}

}  // namespace
