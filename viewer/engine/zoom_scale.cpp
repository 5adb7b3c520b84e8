#include "viewer/engine/zoom_scale.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "viewer/engine/vectorise.h"

namespace {

// A window pixel's share of each picture pixel it covers, in parts of
// kWeightOne on each axis. The vertical sums of a column stay below
// 255 × 2^12 < 2^20 and the horizontal sums of those below 2^32, so both
// fit 32 bits; a pixel wholly inside one picture pixel comes out exact.
constexpr uint32_t kWeightBits = 12;
constexpr uint32_t kWeightOne = 1u << kWeightBits;
constexpr uint32_t kResultShift = 2 * kWeightBits;
constexpr uint32_t kResultHalf = 1u << (kResultShift - 1);

uint32_t PixelAt(const uint8_t* p) { return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16); }

// sums[i] (+)= weight × row[i] for `count` bytes: the first tap of a row
// sets the sums, the others add to them.
void WeighRow(const uint8_t* row, uint32_t weight, bool first, uint32_t* sums, size_t count) {
  RunVectorised([&] {
    if (first) {
      for (size_t i = 0; i < count; ++i) sums[i] = weight * row[i];
    } else {
      for (size_t i = 0; i < count; ++i) sums[i] += weight * row[i];
    }
  });
}

}  // namespace

int32_t StripRows(int32_t width) {
  constexpr int32_t kStripBytes = 256 * 1024;
  return std::max(1, kStripBytes / (std::max(1, width) * 4));
}

bool ZoomScaler::Begin(const ScaleSource& source, Scale scale, ScaleRegion region) {
  source_ = source;
  scale_ = scale;
  region_ = region;
  next_ = 0;
  lastSourceRow_ = -1;
  if (!source.pixels || source.width <= 0 || source.height <= 0 || scale.num <= 0 || scale.den <= 0) return false;
  if (source.bytesPerPixel != 3 && source.bytesPerPixel != 4) return false;
  const auto zoomed = [&](int32_t size) { return (int64_t{size} * scale.num + scale.den - 1) / scale.den; };
  if (region.width <= 0 || region.height <= 0 || region.left < 0 || region.top < 0 ||
      int64_t{region.left} + region.width > zoomed(source.width) ||
      int64_t{region.top} + region.height > zoomed(source.height)) {
    return false;
  }
  whole_ = scale.den == 1;
  if (whole_) return true;
  // The tables grow with the picture pixels the region covers, which at
  // the smallest fitted scales of the largest pictures can be more than
  // memory holds: the region is then not made.
  try {
    MakeTaps(region.left, region.width, source.width, columns_, columnWeights_);
    MakeTaps(region.top, region.height, source.height, rows_, rowWeights_);
    firstColumn_ = columns_.front().first;
    columnCount_ = columns_.back().first + columns_.back().count - firstColumn_;
    sums_.resize(static_cast<size_t>(columnCount_) * source.bytesPerPixel);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Window pixel d spans [d × den, (d + 1) × den) and picture pixel i spans
// [i × num, (i + 1) × num) in units of 1 / (num × den) picture pixels; a
// weight is their overlap as a share of the window pixel's part inside the
// picture. The rounding is given to the largest share, so that the shares
// add up to kWeightOne exactly.
void ZoomScaler::MakeTaps(int32_t start, int32_t length, int32_t pictureLength, std::vector<Taps>& taps,
                          std::vector<uint16_t>& weights) const {
  const int64_t num = scale_.num, den = scale_.den, end = int64_t{pictureLength} * num;
  taps.clear();
  weights.clear();
  for (int64_t d = start; d < int64_t{start} + length; ++d) {
    const int64_t low = d * den, high = std::min(end, (d + 1) * den), total = high - low;
    Taps tap;
    tap.first = static_cast<int32_t>(low / num);
    tap.count = static_cast<int32_t>((high - 1) / num) - tap.first + 1;
    tap.weights = weights.size();
    uint32_t given = 0;
    size_t largest = weights.size();
    int64_t largestOverlap = -1;
    for (int64_t i = tap.first; i < tap.first + tap.count; ++i) {
      const int64_t overlap = std::min(high, (i + 1) * num) - std::max(low, i * num);
      const auto weight = static_cast<uint32_t>(overlap * kWeightOne / total);
      if (overlap > largestOverlap) {
        largestOverlap = overlap;
        largest = weights.size();
      }
      weights.push_back(static_cast<uint16_t>(weight));
      given += weight;
    }
    weights[largest] = static_cast<uint16_t>(weights[largest] + (kWeightOne - given));
    taps.push_back(tap);
  }
}

const uint8_t* ZoomScaler::SourceRow(int32_t fromTop) const {
  return source_.pixels + static_cast<size_t>(source_.height - 1 - fromTop) * source_.stride;
}

void ZoomScaler::NextRows(int32_t rows, uint32_t* out) {
  rows = std::min(rows, region_.height - next_);
  for (int32_t r = 0; r < rows; ++r, ++next_, out += region_.width) {
    if (whole_) {
      // A row of the same picture row as the one above it is a copy.
      const int32_t sourceRow = (region_.top + next_) / scale_.num;
      if (r > 0 && sourceRow == lastSourceRow_) {
        std::memcpy(out, out - region_.width, static_cast<size_t>(region_.width) * 4);
        continue;
      }
      lastSourceRow_ = sourceRow;
      NearestRow(sourceRow, out);
    } else {
      AverageRow(next_, out);
    }
  }
}

// Each picture pixel repeated `factor` times, the first and last ones as
// far as the region reaches.
void ZoomScaler::NearestRow(int32_t sourceRow, uint32_t* out) {
  const int32_t factor = scale_.num, bytes = source_.bytesPerPixel;
  const uint8_t* p = SourceRow(sourceRow) + static_cast<size_t>(region_.left / factor) * bytes;
  int32_t x = 0, repeat = factor - region_.left % factor;
  while (x < region_.width) {
    const uint32_t pixel = PixelAt(p);
    const int32_t n = std::min(repeat, region_.width - x);
    for (int32_t i = 0; i < n; ++i) out[x + i] = pixel;
    x += n;
    p += bytes;
    repeat = factor;
  }
}

// The picture rows under window row y summed by their weights, column by
// column; then the columns under each window pixel summed by theirs.
void ZoomScaler::AverageRow(int32_t y, uint32_t* out) {
  const int32_t bytes = source_.bytesPerPixel;
  const size_t count = sums_.size(), from = static_cast<size_t>(firstColumn_) * bytes;
  const Taps& row = rows_[static_cast<size_t>(y)];
  for (int32_t k = 0; k < row.count; ++k) {
    WeighRow(SourceRow(row.first + k) + from, rowWeights_[row.weights + static_cast<size_t>(k)], k == 0,
             sums_.data(), count);
  }
  for (int32_t x = 0; x < region_.width; ++x) {
    const Taps& column = columns_[static_cast<size_t>(x)];
    const uint32_t* s = sums_.data() + static_cast<size_t>(column.first - firstColumn_) * bytes;
    const uint16_t* w = columnWeights_.data() + column.weights;
    uint32_t blue = kResultHalf, green = kResultHalf, red = kResultHalf;
    for (int32_t k = 0; k < column.count; ++k, s += bytes) {
      blue += w[k] * s[0];
      green += w[k] * s[1];
      red += w[k] * s[2];
    }
    out[x] = (blue >> kResultShift) | ((green >> kResultShift) << 8) | ((red >> kResultShift) << 16);
  }
}
