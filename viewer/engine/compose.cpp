#include "viewer/engine/compose.h"

#include <algorithm>
#include <cstring>

#include "viewer/engine/vectorise.h"

namespace {

// The overlap of [start, start + length) with [0, limit): its first index
// in the limit's range and in the other, and its length (0 when they do
// not meet). The sum start + length is formed in 64 bits.
struct Span {
  size_t destination = 0;
  size_t source = 0;
  size_t count = 0;
};

Span Overlap(int32_t start, int32_t length, int32_t limit) {
  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t end = std::min<int64_t>(int64_t{start} + length, limit);
  if (end <= first) return Span{};
  return Span{static_cast<size_t>(first), static_cast<size_t>(first - start), static_cast<size_t>(end - first)};
}

uint8_t Blend(uint8_t foreground, uint8_t background, unsigned keep) {
  return static_cast<uint8_t>(foreground + ((background * keep) >> 8));
}

// D = F + ((B × (255 − a)) >> 8) for `count` pixels: foreground f (BGRA),
// background b and destination out (BGR).
void BlendPixels(const uint8_t* f, const uint8_t* b, uint8_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i, f += 4, b += 3, out += 3) {
    const unsigned keep = 255u - f[3];
    out[0] = Blend(f[0], b[0], keep);
    out[1] = Blend(f[1], b[1], keep);
    out[2] = Blend(f[2], b[2], keep);
  }
}

#ifdef TRELLIN_AVX2_DISPATCH
// The same blend, eight pixels a step. The 24 background bytes are spread
// to four pixels in each 128-bit lane, and the foreground's colour bytes
// and 255 − alpha are shuffled into that 3-byte layout. The products are
// formed in 16-bit lanes, even and odd bytes apart, without widening: the
// even bytes masked, multiplied and shifted down by 8, the odd ones
// multiplied in place with their high byte kept, which is the same
// (B × keep) >> 8. That is at most 254, and the bytewise add wraps as a
// byte store would. A step reads 32 background bytes, so it needs 11
// pixels left, and writes exactly its 24; the plain loop does the rest.
__attribute__((target("avx2"))) void BlendPixelsAvx2(const uint8_t* f, const uint8_t* b, uint8_t* out, size_t count) {
  const __m256i colourBytes = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                               0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i alphaBytes = _mm256_setr_epi8(3, 3, 3, 7, 7, 7, 11, 11, 11, 15, 15, 15, -1, -1, -1, -1,  //
                                              3, 3, 3, 7, 7, 7, 11, 11, 11, 15, 15, 15, -1, -1, -1, -1);
  const __m256i ones = _mm256_set1_epi8(-1), lowByte = _mm256_set1_epi16(0x00FF), highByte = _mm256_set1_epi16(-256);
  size_t i = 0;
  for (; i + 11 <= count; i += 8, f += 32, b += 24, out += 24) {
    const __m256i fg = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(f));
    const __m256i bg = LoadLaneTwelves(b);
    const __m256i keep = _mm256_shuffle_epi8(_mm256_xor_si256(fg, ones), alphaBytes);
    const __m256i even =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(bg, lowByte), _mm256_and_si256(keep, lowByte)), 8);
    const __m256i odd =
        _mm256_and_si256(_mm256_mullo_epi16(_mm256_srli_epi16(bg, 8), _mm256_srli_epi16(keep, 8)), highByte);
    StoreLaneTwelves(out, _mm256_add_epi8(_mm256_shuffle_epi8(fg, colourBytes), _mm256_or_si256(even, odd)));
  }
  BlendPixels(f, b, out, count - i);
}
#endif

using BlendFunction = void (*)(const uint8_t*, const uint8_t*, uint8_t*, size_t);

BlendFunction ChooseBlend() {
#ifdef TRELLIN_AVX2_DISPATCH
  if (HasAvx2()) return BlendPixelsAvx2;
#endif
  return BlendPixels;
}

// One destination row: the background row, with the foreground row `f`
// blended over `columns`. The blend reads the background rather than the
// bytes just copied, so each destination byte is written once.
void ComposeRow(BlendFunction blend, const uint8_t* f, const uint8_t* background, uint8_t* d, size_t stride,
                Span columns) {
  const size_t start = columns.destination * 3, end = start + columns.count * 3;
  std::memcpy(d, background, start);
  blend(f, background + start, d + start, columns.count);
  std::memcpy(d + end, background + end, stride - end);
}

}  // namespace

void Compose(uint8_t* destination, const Bgr24View& background, const Bgra32View& foreground, int32_t x,
             int32_t storedRow) {
  const size_t stride = background.stride, backgroundBytes = background.bytes;
  const Span columns = Overlap(x, foreground.width, background.width);
  const Span rows = Overlap(storedRow, foreground.height, background.height);
  // Rows below the foreground are copied, the rows it covers composed, the
  // rows above copied.
  const size_t below = rows.destination * stride, covered = columns.count ? rows.count * stride : 0;
  std::memcpy(destination, background.pixels, below);
  const size_t foregroundStride = foreground.stride;
  const uint8_t* f = foreground.pixels + rows.source * foregroundStride + columns.source * 4;
  const BlendFunction blend = ChooseBlend();
  for (size_t offset = below; offset < below + covered; offset += stride, f += foregroundStride) {
    ComposeRow(blend, f, background.pixels + offset, destination + offset, stride, columns);
  }
  std::memcpy(destination + below + covered, background.pixels + below + covered, backgroundBytes - below - covered);
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
