#include "viewer/engine/zoom_scale.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "viewer/engine/vectorise.h"

namespace {

// A window pixel's share of each picture pixel it covers, in parts of
// kWeightOne on each axis. A column's vertical sum, below 255 × 2^12, is
// kept to 1/128 of a level (kColumnShift), at most 32640, so that it fits
// a signed 16-bit lane; the horizontal sum of those stays below 2^27. A
// window pixel wholly inside one picture pixel comes out exact.
constexpr uint32_t kWeightBits = 12;
constexpr uint32_t kWeightOne = 1u << kWeightBits;
constexpr uint32_t kColumnShift = 5;
constexpr uint32_t kResultShift = 2 * kWeightBits - kColumnShift;
constexpr int32_t kResultHalf = 1 << (kResultShift - 1);

uint32_t Packed(int32_t blue, int32_t green, int32_t red) {
  return static_cast<uint32_t>(blue >> kResultShift) | static_cast<uint32_t>(green >> kResultShift) << 8 |
         static_cast<uint32_t>(red >> kResultShift) << 16;
}

uint32_t PixelAt(const uint8_t* p) { return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16); }

// sums[i] = Σ weights[k] × rows[k][i] for `count` bytes. Up to three rows
// in one pass, which the usual scales need; more a pass each.
void WeighRows(const uint8_t* const* rows, const uint16_t* weights, int32_t taps, uint32_t* sums, size_t count) {
  const uint32_t w0 = weights[0], w1 = taps > 1 ? weights[1] : 0, w2 = taps > 2 ? weights[2] : 0;
  const uint8_t *a = rows[0], *b = taps > 1 ? rows[1] : rows[0], *c = taps > 2 ? rows[2] : rows[0];
  RunVectorised([&] {
    if (taps == 1) {
      for (size_t i = 0; i < count; ++i) sums[i] = w0 * a[i];
    } else if (taps == 2) {
      for (size_t i = 0; i < count; ++i) sums[i] = w0 * a[i] + w1 * b[i];
    } else {
      for (size_t i = 0; i < count; ++i) sums[i] = w0 * a[i] + w1 * b[i] + w2 * c[i];
    }
  });
  for (int32_t k = 3; k < taps; ++k) {
    const uint32_t w = weights[k];
    const uint8_t* row = rows[k];
    RunVectorised([&] {
      for (size_t i = 0; i < count; ++i) sums[i] += w * row[i];
    });
  }
}

// The column sums (blue, green, red[, alpha]) a colour to a plane, each
// rounded to 1/128 of a level.
constexpr uint32_t kColumnHalf = 1u << (kColumnShift - 1);

void SplitColumns(const uint32_t* sums, size_t bytes, size_t columns, int16_t* blue, int16_t* green, int16_t* red) {
  for (size_t i = 0; i < columns; ++i, sums += bytes) {
    blue[i] = static_cast<int16_t>((sums[0] + kColumnHalf) >> kColumnShift);
    green[i] = static_cast<int16_t>((sums[1] + kColumnHalf) >> kColumnShift);
    red[i] = static_cast<int16_t>((sums[2] + kColumnHalf) >> kColumnShift);
  }
}

#ifdef TRELLIN_AVX2_DISPATCH
// Eight 3-colour columns a step: each colour gathered from the three loads
// by blends (column j's blue lies in load j mod 3, green and red one and two
// loads on) and put in order by a permutation; the rest as above.
__attribute__((target("avx2"), always_inline)) inline void StoreColumns(int16_t* plane, __m256i values, __m256i order) {
  const __m256i levels = _mm256_srli_epi32(
      _mm256_add_epi32(_mm256_permutevar8x32_epi32(values, order), _mm256_set1_epi32(kColumnHalf)), kColumnShift);
  const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(levels), _mm256_extracti128_si256(levels, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(plane), words);
}

__attribute__((target("avx2"))) void SplitColumns3Avx2(const uint32_t* sums, size_t columns, int16_t* blue,
                                                       int16_t* green, int16_t* red) {
  const __m256i blueOrder = _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5);
  const __m256i greenOrder = _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6);
  const __m256i redOrder = _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
  size_t i = 0;
  for (; i + 8 <= columns; i += 8, sums += 24) {
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + 8));
    const __m256i s2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + 16));
    StoreColumns(blue + i, _mm256_blend_epi32(_mm256_blend_epi32(s0, s1, 0x92), s2, 0x24), blueOrder);
    StoreColumns(green + i, _mm256_blend_epi32(_mm256_blend_epi32(s0, s1, 0x24), s2, 0x49), greenOrder);
    StoreColumns(red + i, _mm256_blend_epi32(_mm256_blend_epi32(s0, s1, 0x49), s2, 0x92), redOrder);
  }
  SplitColumns(sums, 3, columns - i, blue + i, green + i, red + i);
}
#endif

// Window pixels of up to kEvenTaps columns each, from the column sums laid
// out a colour to a plane: the four columns of a pixel's taps are four
// neighbours in each plane, so one multiply-add of 16-bit lanes sums two
// taps of a colour at once. The same sums as the plain loop, exactly.
#ifdef TRELLIN_AVX2_DISPATCH
__attribute__((target("avx2"))) void SumEvenTapsAvx2(const int16_t* blue, const int16_t* green, const int16_t* red,
                                                     const uint32_t* starts, const int16_t* weights, int32_t width,
                                                     uint32_t* out) {
  const __m128i half = _mm_set1_epi32(kResultHalf);
  for (int32_t x = 0; x < width; ++x, weights += 8) {
    const uint32_t at = starts[x];
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
    const __m128i blueGreen = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(blue + at)),
                                                 _mm_loadl_epi64(reinterpret_cast<const __m128i*>(green + at)));
    const __m128i reds = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(red + at));
    // Pairs of taps, then the pairs: blue, green, red, 0.
    const __m128i sums = _mm_hadd_epi32(_mm_madd_epi16(blueGreen, w), _mm_madd_epi16(reds, w));
    const __m128i levels = _mm_srai_epi32(_mm_add_epi32(sums, half), kResultShift);
    const __m128i words = _mm_packs_epi32(levels, levels);
    out[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  }
}
#endif

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
    // Each plane with room for the even taps past its last column, zero.
    planeStride_ = static_cast<size_t>(columnCount_) + kEvenTaps;
    planes_.assign(3 * planeStride_, 0);
    MakeEvenTaps();
    rowPointers_.clear();
    for (const Taps& row : rows_) rowPointers_.reserve(static_cast<size_t>(row.count));
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

// Where no window pixel covers more than kEvenTaps columns, each gets that
// many taps, the missing ones of weight 0 (on the columns after its last,
// which the planes hold as 0): its first column and its weights, twice
// over, for the two colours a multiply-add takes.
void ZoomScaler::MakeEvenTaps() {
  int32_t most = 0;
  for (const Taps& column : columns_) most = std::max(most, column.count);
  even_ = most <= kEvenTaps;
  evenStarts_.clear();
  evenWeights_.clear();
  if (!even_) return;
  for (const Taps& column : columns_) {
    evenStarts_.push_back(static_cast<uint32_t>(column.first - firstColumn_));
    int16_t weights[kEvenTaps] = {};
    for (int32_t k = 0; k < column.count; ++k)
      weights[k] = static_cast<int16_t>(columnWeights_[column.weights + static_cast<size_t>(k)]);
    for (int twice = 0; twice < 2; ++twice) evenWeights_.insert(evenWeights_.end(), weights, weights + kEvenTaps);
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
// column, and laid out a colour to a plane; then the columns under each
// window pixel summed by theirs.
void ZoomScaler::AverageRow(int32_t y, uint32_t* out) {
  const size_t bytes = static_cast<size_t>(source_.bytesPerPixel);
  const size_t from = static_cast<size_t>(firstColumn_) * bytes, columns = static_cast<size_t>(columnCount_);
  const Taps& row = rows_[static_cast<size_t>(y)];
  rowPointers_.clear();
  for (int32_t k = 0; k < row.count; ++k) rowPointers_.push_back(SourceRow(row.first + k) + from);
  WeighRows(rowPointers_.data(), rowWeights_.data() + row.weights, row.count, sums_.data(), sums_.size());
  int16_t* blue = planes_.data();
  int16_t* green = blue + planeStride_;
  int16_t* red = green + planeStride_;
#ifdef TRELLIN_AVX2_DISPATCH
  const bool avx2 = simd_ && HasAvx2();
  if (avx2 && bytes == 3) {
    SplitColumns3Avx2(sums_.data(), columns, blue, green, red);
  } else {
    SplitColumns(sums_.data(), bytes, columns, blue, green, red);
  }
  if (avx2 && even_) {
    return SumEvenTapsAvx2(blue, green, red, evenStarts_.data(), evenWeights_.data(), region_.width, out);
  }
#else
  SplitColumns(sums_.data(), bytes, columns, blue, green, red);
#endif
  for (int32_t x = 0; x < region_.width; ++x) {
    const Taps& column = columns_[static_cast<size_t>(x)];
    const size_t at = static_cast<size_t>(column.first - firstColumn_);
    const uint16_t* w = columnWeights_.data() + column.weights;
    int32_t b = kResultHalf, g = kResultHalf, r = kResultHalf;
    for (size_t k = 0; k < static_cast<size_t>(column.count); ++k) {
      b += w[k] * blue[at + k];
      g += w[k] * green[at + k];
      r += w[k] * red[at + k];
    }
    out[x] = Packed(b, g, r);
  }
}
