#include "viewer/engine/compose.h"

#include <algorithm>
#include <cstring>

namespace {

int32_t HoldToInt32(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// The overlap of [start, start + length) with [0, limit), as a first index
// into each range and a count; count 0 when they do not meet.
struct Span {
  int64_t destination = 0;
  int64_t source = 0;
  int64_t count = 0;
};

Span Overlap(int32_t start, int32_t length, int32_t limit) {
  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t end = std::min<int64_t>(int64_t{start} + length, limit);
  if (end <= first) return Span{};
  return Span{first, first - start, end - first};
}

uint8_t Blend(uint8_t foreground, uint8_t destination, unsigned keep) {
  return static_cast<uint8_t>(foreground + ((destination * keep) >> 8));
}

void BlendRow(const uint8_t* f, uint8_t* d, int64_t count) {
  for (int64_t i = 0; i < count; ++i, f += 4, d += 3) {
    const unsigned keep = 255u - f[3];
    d[0] = Blend(f[0], d[0], keep);
    d[1] = Blend(f[1], d[1], keep);
    d[2] = Blend(f[2], d[2], keep);
  }
}

}  // namespace

void Compose(uint8_t* destination, const Bgr24View& background, const Bgra32View& foreground, int32_t x,
             int32_t storedRow) {
  size_t stride = 0, backgroundBytes = 0;
  RowLength(background.width, 24, &stride);
  DibImageSize(background.width, background.height, 24, &backgroundBytes);
  std::memcpy(destination, background.pixels, backgroundBytes);

  const Span columns = Overlap(x, foreground.width, background.width);
  const Span rows = Overlap(storedRow, foreground.height, background.height);
  if (columns.count == 0 || rows.count == 0) return;
  const size_t foregroundStride = size_t{4} * static_cast<size_t>(foreground.width);
  const uint8_t* f =
      foreground.pixels + static_cast<size_t>(rows.source) * foregroundStride + static_cast<size_t>(columns.source) * 4;
  uint8_t* d =
      destination + static_cast<size_t>(rows.destination) * stride + static_cast<size_t>(columns.destination) * 3;
  for (int64_t y = 0; y < rows.count; ++y, f += foregroundStride, d += stride) BlendRow(f, d, columns.count);
}

int32_t StoredRowOfTop(int32_t top, int32_t backgroundHeight, int32_t foregroundHeight) {
  return HoldToInt32(int64_t{backgroundHeight} - foregroundHeight - top);
}

Point CentreForeground(int32_t clientWidth, int32_t clientHeight, int32_t foregroundWidth, int32_t foregroundHeight) {
  const auto centre = [](int32_t client, int32_t picture) {
    const int64_t half = (int64_t{client} - picture) / 2;
    return static_cast<int32_t>(half < 0 ? -half : half);
  };
  return Point{centre(clientWidth, foregroundWidth), centre(clientHeight, foregroundHeight)};
}

Point DragForeground(Point position, int32_t dx, int32_t dy) {
  return Point{HoldToInt32(int64_t{position.x} + dx), HoldToInt32(int64_t{position.y} + dy)};
}

bool HitsForeground(const Bgra32View& foreground, Point position, Point point) {
  const int64_t column = int64_t{point.x} - position.x;
  const int64_t rowFromTop = int64_t{point.y} - position.y;
  if (column < 0 || column >= foreground.width || rowFromTop < 0 || rowFromTop >= foreground.height) return false;
  const int64_t storedRow = foreground.height - 1 - rowFromTop;
  const size_t pixel = static_cast<size_t>(storedRow * foreground.width + column);
  return foreground.pixels[pixel * 4 + 3] != 0;
}
