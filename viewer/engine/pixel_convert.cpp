#include "viewer/engine/pixel_convert.h"

#include <algorithm>
#include <cstring>

#include "viewer/engine/pixel_rows.h"
#include "viewer/engine/pixel_word.h"
#include "viewer/engine/vectorise.h"

namespace {

using namespace pixel_rows;

// ---- Rows to 24 bits ----
void Bgrx32To24(const uint8_t* in, uint8_t* out, int32_t width) {
  for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
}

void Rgbx32To24(const uint8_t* in, uint8_t* out, int32_t width) {
  for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
  }
}

// Le32 or Le16 words through the masks.
template <size_t WordBytes>
void MaskedTo24(const uint8_t* in, uint8_t* out, int32_t width, const MaskedPixel& m) {
  for (int32_t x = 0; x < width; ++x, in += WordBytes, out += 3) {
    const uint32_t v = WordBytes == 4 ? Le32(in) : Le16(in);
    out[0] = m.blue.From(v);
    out[1] = m.green.From(v);
    out[2] = m.red.From(v);
  }
}

// A 16-bit layout known when compiling: the same extraction as
// MaskedTo24, with constant shifts, which lets the loop vectorise.
template <uint32_t Mask>
uint8_t FixedChannel(uint32_t pixel) {
  constexpr int kShift = TopBit(Mask) - 7;
  const uint32_t bits = pixel & Mask;
  if constexpr (kShift >= 0) {
    return static_cast<uint8_t>(bits >> kShift);
  } else {
    return static_cast<uint8_t>(bits << -kShift);
  }
}

template <const ChannelMasks& Layout>
void Fixed16To24(const uint8_t* in, uint8_t* out, int32_t width) {
  for (int32_t x = 0; x < width; ++x, in += 2, out += 3) {
    const uint32_t v = Le16(in);
    out[0] = FixedChannel<Layout.blue>(v);
    out[1] = FixedChannel<Layout.green>(v);
    out[2] = FixedChannel<Layout.red>(v);
  }
}

#ifdef TRELLIN_AVX2_DISPATCH
// One channel of eight 32-bit lanes moved as FixedChannel moves it, into
// byte `Byte` of each lane. Channels of at most 8 bits stay inside it.
template <uint32_t Mask, int Byte>
__attribute__((target("avx2"))) __m256i ChannelToByte(__m256i words) {
  static_assert(TopBit(Mask) - TopBit(Mask & (~Mask + 1)) < 8, "a channel of at most 8 bits");
  constexpr int kShift = TopBit(Mask) - 7 - 8 * Byte;
  const __m256i bits = _mm256_and_si256(words, _mm256_set1_epi32(static_cast<int>(Mask)));
  if constexpr (kShift >= 0) {
    return _mm256_srli_epi32(bits, kShift);
  } else {
    return _mm256_slli_epi32(bits, -kShift);
  }
}

// Fixed16To24 eight pixels a step: the values widened to 32-bit lanes, each
// channel moved to its byte, and the lanes packed to 24 bytes. A step reads
// 16 bytes and writes 24, so it needs 8 pixels left; the plain loop does
// the rest.
template <const ChannelMasks& Layout>
__attribute__((target("avx2"))) void Fixed16To24Avx2(const uint8_t* in, uint8_t* out, int32_t width) {
  const __m256i threeOfFour = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                               0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int32_t x = 0;
  for (; x + 8 <= width; x += 8, in += 16, out += 24) {
    const __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    const __m256i bgr =
        _mm256_or_si256(_mm256_or_si256(ChannelToByte<Layout.blue, 0>(v), ChannelToByte<Layout.green, 1>(v)),
                        ChannelToByte<Layout.red, 2>(v));
    StoreLaneTwelves(out, _mm256_shuffle_epi8(bgr, threeOfFour));
  }
  Fixed16To24<Layout>(in, out, width - x);
}
#endif

// Converts rows of a fixed 16-bit layout, eight pixels a step where the
// processor has AVX2.
template <const ChannelMasks& Layout>
void ConvertFixed16(const DibPicture& p, uint8_t* out, size_t stride) {
  auto row = Fixed16To24<Layout>;
#ifdef TRELLIN_AVX2_DISPATCH
  if (HasAvx2()) row = Fixed16To24Avx2<Layout>;
#endif
  const int32_t w = p.width;
  ForEachRow(p, out, stride, [&](const uint8_t* in, uint8_t* o) { row(in, o, w); });
}

// Each entry is copied as one 4-byte word, its fourth byte overwritten by
// the next pixel; the last pixel of the row gets only its three bytes, so
// nothing is written past the row.
template <unsigned Bits>
void IndexedTo24(const uint8_t* in, uint8_t* out, int32_t width, const Palette& palette) {
  for (int32_t x = 0; x < width - 1; ++x, out += 3) std::memcpy(out, palette.entries[IndexAt<Bits>(in, x)], 4);
  std::memcpy(out, palette.entries[IndexAt<Bits>(in, width - 1)], 3);
}

template <unsigned Bits>
void ConvertIndexed(const DibPicture& p, uint8_t* out, size_t stride) {
  const Palette palette(p);
  ForEachRow(p, out, stride, [&](const uint8_t* in, uint8_t* o) { IndexedTo24<Bits>(in, o, p.width, palette); });
}

// Writes the colour of every row; false for a depth without a conversion.
bool ConvertRows(const DibPicture& p, uint8_t* out, size_t stride) {
  const int32_t w = p.width;
  const MaskedPixel masked(p.masks);
  switch (p.header.biBitCount) {
    case 32:
      if (SameColourMasks(p.masks, kBgra)) {
        ForEachRow(p, out, stride, [w](const uint8_t* in, uint8_t* o) { Bgrx32To24(in, o, w); });
      } else if (SameColourMasks(p.masks, kRgba)) {
        ForEachRow(p, out, stride, [w](const uint8_t* in, uint8_t* o) { Rgbx32To24(in, o, w); });
      } else {
        ForEachRow(p, out, stride, [&](const uint8_t* in, uint8_t* o) { MaskedTo24<4>(in, o, w, masked); });
      }
      return true;
    case 24:
      ForEachRow(p, out, stride, [w](const uint8_t* in, uint8_t* o) { std::memcpy(o, in, size_t{3} * w); });
      return true;
    case 16:
      if (SameColourMasks(p.masks, kRgb555)) {
        ConvertFixed16<kRgb555>(p, out, stride);
      } else if (SameColourMasks(p.masks, kRgb565)) {
        ConvertFixed16<kRgb565>(p, out, stride);
      } else {
        ForEachRow(p, out, stride, [&](const uint8_t* in, uint8_t* o) { MaskedTo24<2>(in, o, w, masked); });
      }
      return true;
    default:
      return WithIndexBits(p.header.biBitCount, [&](auto bits) { ConvertIndexed<bits()>(p, out, stride); });
  }
}

void ZeroPadding(uint8_t* rows, int32_t width, int32_t height, size_t stride) {
  const size_t used = static_cast<size_t>(width) * 3;
  if (used == stride) return;
  for (int32_t y = 0; y < height; ++y, rows += stride) std::memset(rows + used, 0, stride - used);
}

}  // namespace

int MaskShift(uint32_t mask) { return mask == 0 ? 0 : TopBit(mask) - 7; }

bool ConvertTo24(const DibPicture& picture, uint8_t* out) {
  const size_t stride = Bgr24Of(out, picture.width, picture.height).stride;
  bool converted = false;
  RunVectorised([&] { converted = ConvertRows(picture, out, stride); });
  if (converted) ZeroPadding(out, picture.width, picture.height, stride);
  return converted;
}

void Flatten(const Bgra32View& foreground, uint8_t* out) {
  const size_t stride = Bgr24Of(out, foreground.width, foreground.height).stride;
  const size_t inStride = foreground.stride;
  RunVectorised([&] {
    for (int32_t y = 0; y < foreground.height; ++y) {
      Bgrx32To24(foreground.pixels + y * inStride, out + y * stride, foreground.width);
    }
  });
  ZeroPadding(out, foreground.width, foreground.height, stride);
}
