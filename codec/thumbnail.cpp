#include "codec/thumbnail.h"

#include <cstring>

#include "base/blocks.h"
#include "base/sizes.h"

namespace {

// How the picture's pixels along one axis fall into the thumbnail's. In
// units where a picture pixel is `out` long and a thumbnail pixel `in`
// long, thumbnail pixel k covers [k × in, (k + 1) × in): pixels first to
// last, the first and the last only in part (their weights), those between
// whole (weight `out`). A picture pixel never spans more than two
// thumbnail pixels, as the thumbnail is never larger.
struct Span {
  uint32_t first;
  uint32_t last;
  uint64_t firstWeight;
  uint64_t lastWeight;
};

Span SpanOf(uint64_t k, uint64_t in, uint64_t out) {
  const uint64_t start = k * in, end = (k + 1) * in;
  Span s;
  s.first = static_cast<uint32_t>(start / out);
  s.last = static_cast<uint32_t>((end - 1) / out);
  if (s.first == s.last) {
    s.firstWeight = s.lastWeight = in;
  } else {
    s.firstWeight = (uint64_t{s.first} + 1) * out - start;
    s.lastWeight = end - uint64_t{s.last} * out;
  }
  return s;
}

// Alpha, then colour times alpha, of one pixel.
struct Weighted {
  uint64_t alpha, blue, green, red;
};

inline void AddPixel(Weighted& sum, const uint8_t* p, uint64_t weight) {
  const uint64_t a = uint64_t{p[3]} * weight;
  sum.alpha += a;
  sum.blue += a * p[0];
  sum.green += a * p[1];
  sum.red += a * p[2];
}

// The pixels between the edges of a span, all of one weight: summed
// plainly, then weighted once.
inline void AddWhole(Weighted& sum, const uint8_t* p, uint32_t count, uint64_t weight) {
  Weighted plain{};
  for (uint32_t i = 0; i < count; ++i, p += 4) {
    const uint32_t a = p[3];
    plain.alpha += a;
    plain.blue += a * p[0];
    plain.green += a * p[1];
    plain.red += a * p[2];
  }
  sum.alpha += plain.alpha * weight;
  sum.blue += plain.blue * weight;
  sum.green += plain.green * weight;
  sum.red += plain.red * weight;
}

inline void AddScaled(Weighted& to, const Weighted& from, uint64_t weight) {
  to.alpha += from.alpha * weight;
  to.blue += from.blue * weight;
  to.green += from.green * weight;
  to.red += from.red * weight;
}

inline uint8_t Divide(uint64_t value, uint64_t by) { return static_cast<uint8_t>((value + by / 2) / by); }

// Working rows of `count` sums, zeroed.
bool Sums(HeapBuffer& buffer, uint32_t count) {
  size_t bytes;
  if (!MulSize(count, sizeof(Weighted), &bytes) || !buffer.Allocate(bytes)) return false;
  std::memset(buffer.data(), 0, bytes);
  return true;
}

}  // namespace

ThumbnailSize FitThumbnail(uint32_t width, uint32_t height, uint32_t edge) {
  if (edge == 0) edge = 1;
  if (width <= edge && height <= edge) return {width, height};
  const bool wide = width >= height;
  const uint64_t longer = wide ? width : height, shorter = wide ? height : width;
  uint64_t other = (shorter * edge + longer / 2) / longer;
  if (other == 0) other = 1;
  const auto side = static_cast<uint32_t>(other);
  return wide ? ThumbnailSize{edge, side} : ThumbnailSize{side, edge};
}

void RowToBgra(const PictureView& view, uint32_t y, uint8_t* out) {
  const uint8_t* in = view.Row(y);
  switch (view.layout) {
    case PixelLayout::Bgra32:
      std::memcpy(out, in, size_t{view.width} * 4);
      return;
    case PixelLayout::Bgr24:
      for (uint32_t x = 0; x < view.width; ++x, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0xFF;
      }
      return;
    case PixelLayout::Bgr555:
      for (uint32_t x = 0; x < view.width; ++x, in += 2, out += 4) {
        const unsigned v = Le16(in);
        const unsigned b = v & 0x1F, g = (v >> 5) & 0x1F, r = (v >> 10) & 0x1F;
        out[0] = static_cast<uint8_t>(b << 3 | b >> 2);
        out[1] = static_cast<uint8_t>(g << 3 | g >> 2);
        out[2] = static_cast<uint8_t>(r << 3 | r >> 2);
        out[3] = 0xFF;
      }
      return;
    case PixelLayout::Indexed8:
      for (uint32_t x = 0; x < view.width; ++x, out += 4) {
        const uint32_t c = in[x] < view.paletteCount ? view.palette[in[x]] : 0xFF000000u;
        out[0] = static_cast<uint8_t>(c);
        out[1] = static_cast<uint8_t>(c >> 8);
        out[2] = static_cast<uint8_t>(c >> 16);
        out[3] = static_cast<uint8_t>(c >> 24);
      }
      return;
  }
}

bool ReduceToBgra(const PictureView& view, ThumbnailSize size, uint8_t* out) {
  if (size.width == 0 || size.height == 0 || size.width > view.width || size.height > view.height) return false;
  size_t rowBytes;
  HeapBuffer row, across, below;
  if (!MulSize(view.width, 4, &rowBytes) || !row.Allocate(rowBytes) || !Sums(across, size.width) ||
      !Sums(below, size.width))
    return false;
  auto* rowSums = reinterpret_cast<Weighted*>(across.data());
  // The thumbnail row being filled, and the next one, which a picture row
  // on the boundary between them also feeds.
  auto* current = reinterpret_cast<Weighted*>(below.data());
  HeapBuffer nextBuffer, spanBuffer;
  size_t spanBytes;
  if (!Sums(nextBuffer, size.width) || !MulSize(size.width, sizeof(Span), &spanBytes) ||
      !spanBuffer.Allocate(spanBytes))
    return false;
  auto* next = reinterpret_cast<Weighted*>(nextBuffer.data());
  auto* columns = reinterpret_cast<Span*>(spanBuffer.data());
  for (uint32_t k = 0; k < size.width; ++k) columns[k] = SpanOf(k, view.width, size.width);
  const uint64_t total = uint64_t{view.width} * view.height;

  uint32_t outY = 0;
  Span rows = SpanOf(0, view.height, size.height);
  for (uint32_t y = 0; y < view.height && outY < size.height; ++y) {
    RowToBgra(view, y, row.data());
    // Across: each thumbnail column's share of this row.
    for (uint32_t k = 0; k < size.width; ++k) {
      const Span& s = columns[k];
      Weighted sum{};
      const uint8_t* p = row.data() + size_t{s.first} * 4;
      AddPixel(sum, p, s.firstWeight);
      if (s.last > s.first) {
        AddWhole(sum, p + 4, s.last - s.first - 1, size.width);
        AddPixel(sum, row.data() + size_t{s.last} * 4, s.lastWeight);
      }
      rowSums[k] = sum;
    }
    // Down: the row into the thumbnail row it lies in, or the two it spans.
    const bool split = y == rows.last && rows.last > rows.first && rows.lastWeight < size.height;
    const uint64_t weight = y == rows.first ? rows.firstWeight : y == rows.last ? rows.lastWeight : size.height;
    for (uint32_t k = 0; k < size.width; ++k) AddScaled(current[k], rowSums[k], weight);
    if (split || y == rows.last) {
      if (split) {
        for (uint32_t k = 0; k < size.width; ++k) AddScaled(next[k], rowSums[k], size.height - rows.lastWeight);
      }
      uint8_t* o = out + size_t{outY} * size.width * 4;
      for (uint32_t k = 0; k < size.width; ++k, o += 4) {
        const Weighted& w = current[k];
        o[3] = Divide(w.alpha, total);
        o[0] = w.alpha ? Divide(w.blue, w.alpha) : 0;
        o[1] = w.alpha ? Divide(w.green, w.alpha) : 0;
        o[2] = w.alpha ? Divide(w.red, w.alpha) : 0;
      }
      std::memset(current, 0, sizeof(Weighted) * size.width);
      Weighted* swap = current;
      current = next;
      next = swap;
      if (++outY < size.height) rows = SpanOf(outY, view.height, size.height);
    }
  }
  return outY == size.height;
}
