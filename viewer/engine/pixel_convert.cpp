#include "viewer/engine/pixel_convert.h"

#include <algorithm>
#include <cstring>

#include "viewer/engine/pixel_word.h"
#include "viewer/engine/vectorise.h"

namespace {

constexpr ChannelMasks kBgra{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
constexpr ChannelMasks kRgba{0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
constexpr ChannelMasks kRgb555{0x7C00, 0x03E0, 0x001F, 0};
constexpr ChannelMasks kRgb565{0xF800, 0x07E0, 0x001F, 0};

// Index of the highest set bit; -1 for 0.
constexpr int TopBit(uint32_t mask) {
  int top = -1;
  for (; mask; mask >>= 1) ++top;
  return top;
}

bool SameColourMasks(const ChannelMasks& a, const ChannelMasks& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
bool SameMasks(const ChannelMasks& a, const ChannelMasks& b) { return SameColourMasks(a, b) && a.alpha == b.alpha; }

// One channel taken out through its mask, its top bit moved to bit 7. The
// shift is split into a right and a left part, one of them 0, so that the
// per-pixel work has no branch.
struct MaskedChannel {
  explicit MaskedChannel(uint32_t m) : mask(m) {
    const int shift = MaskShift(m);
    right = shift > 0 ? shift : 0;
    left = shift < 0 ? -shift : 0;
  }
  uint8_t From(uint32_t pixel) const { return static_cast<uint8_t>(((pixel & mask) >> right) << left); }
  uint32_t mask;
  int right = 0;
  int left = 0;
};

struct MaskedPixel {
  explicit MaskedPixel(const ChannelMasks& m) : red(m.red), green(m.green), blue(m.blue), alpha(m.alpha) {}
  MaskedChannel red, green, blue, alpha;
};

// 256 entries of blue, green, red and a fourth byte, from the colour table;
// indices past the entries present read as black.
struct Palette {
  explicit Palette(const DibPicture& picture) {
    std::memcpy(entries, picture.colourTable, std::min<size_t>(picture.colourCount, 256) * 4);
  }
  uint8_t entries[256][4] = {};
};

// The palette of a keyed foreground: index 0 transparent black, every
// other entry opaque.
Palette KeyedPalette(const DibPicture& picture) {
  Palette palette(picture);
  for (auto& entry : palette.entries) entry[3] = 255;
  std::memset(palette.entries[0], 0, 4);
  return palette;
}

// Index of pixel x of a row of 1, 4 or 8 bits; the leftmost pixel sits in
// the most significant bits of its byte.
template <unsigned Bits>
unsigned IndexAt(const uint8_t* row, int32_t x) {
  constexpr unsigned kPerByte = 8 / Bits;
  const unsigned shift = 8 - Bits - (x % kPerByte) * Bits;
  return (row[x / kPerByte] >> shift) & ((1u << Bits) - 1);
}

// The stored row that becomes output row y (outputs are bottom-up).
const uint8_t* SourceRow(const DibPicture& picture, int32_t y) {
  const int32_t stored = picture.topDown ? picture.height - 1 - y : y;
  return picture.pixels + static_cast<size_t>(stored) * picture.stride;
}

// Calls row(stored row, output row) for every output row, bottom first.
template <class Row>
void ForEachRow(const DibPicture& picture, uint8_t* out, size_t outStride, Row row) {
  for (int32_t y = 0; y < picture.height; ++y, out += outStride) row(SourceRow(picture, y), out);
}

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
    case 8:
      ConvertIndexed<8>(p, out, stride);
      return true;
    case 4:
      ConvertIndexed<4>(p, out, stride);
      return true;
    case 1:
      ConvertIndexed<1>(p, out, stride);
      return true;
    default:
      return false;
  }
}

void ZeroPadding(uint8_t* rows, int32_t width, int32_t height, size_t stride) {
  const size_t used = static_cast<size_t>(width) * 3;
  if (used == stride) return;
  for (int32_t y = 0; y < height; ++y, rows += stride) std::memset(rows + used, 0, stride - used);
}

// ---- Premultiplication: colour × (a + 1) >> 8 ----
// The three colour bytes of a pixel word scaled at once: blue and red sit
// 16 bits apart, so neither product (at most 255 × 256) reaches the other.
uint32_t ScaleColours(uint32_t pixel, uint32_t factor) {
  const uint32_t blueRed = (((pixel & 0x00FF00FF) * factor) >> 8) & 0x00FF00FF;
  const uint32_t green = (((pixel & 0x0000FF00) * factor) >> 8) & 0x0000FF00;
  return blueRed | green | (pixel & 0xFF000000);
}

void PremultiplyBgra(uint8_t* p, size_t count) {
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint32_t pixel = LoadPixel(p);
    StorePixel(p, ScaleColours(pixel, (pixel >> 24) + 1));
  }
}

// Red and blue trade places, so the result is blue, green, red.
void PremultiplyRgba(uint8_t* p, size_t count) {
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint32_t pixel = LoadPixel(p);
    const uint32_t swapped = (pixel & 0xFF00FF00) | ((pixel & 0xFF) << 16) | ((pixel >> 16) & 0xFF);
    StorePixel(p, ScaleColours(swapped, (pixel >> 24) + 1));
  }
}

// Any other masks. The alpha taken through the alpha mask is also stored in
// byte 3: the blend and the view's hit test read byte 3 as alpha, and a
// colour premultiplied by one alpha but blended with another could pass 255
// and wrap.
void PremultiplyMasked(uint8_t* p, size_t count, const ChannelMasks& masks) {
  const MaskedPixel m(masks);
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint32_t pixel = LoadPixel(p);
    const uint32_t alpha = m.alpha.From(pixel);
    const uint32_t bgra =
        m.blue.From(pixel) | uint32_t{m.green.From(pixel)} << 8 | uint32_t{m.red.From(pixel)} << 16 | alpha << 24;
    StorePixel(p, ScaleColours(bgra, alpha + 1));
  }
}

// ---- Keying ----
// Pixels of the key colour become 0 (transparent black), the others opaque.
void Key24(const uint8_t* in, uint8_t* out, int32_t width, uint32_t key) {
  for (int32_t x = 0; x < width; ++x, in += 3, out += 4) {
    const uint32_t colour = ColourOf(in);
    StorePixel(out, colour == key ? 0 : colour | 0xFF000000);
  }
}

#ifdef TRELLIN_AVX2_DISPATCH
// The same, eight pixels a step: the 24 bytes spread to four pixels in each
// 128-bit lane and widened to words, which are compared with the key all
// at once. A step reads 32 bytes, so it needs 11 pixels left; the plain
// loop does the rest.
__attribute__((target("avx2"))) void Key24Avx2(const uint8_t* in, uint8_t* out, int32_t width, uint32_t key) {
  const __m256i widen = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                         0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i keyWords = _mm256_set1_epi32(static_cast<int>(key));
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int32_t x = 0;
  for (; x + 11 <= width; x += 8, in += 24, out += 32) {
    const __m256i colour = _mm256_shuffle_epi8(LoadLaneTwelves(in), widen);
    const __m256i keyed = _mm256_cmpeq_epi32(colour, keyWords);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_andnot_si256(keyed, _mm256_or_si256(colour, opaque)));
  }
  Key24(in, out, width - x, key);
}
#endif

using Key24Function = void (*)(const uint8_t*, uint8_t*, int32_t, uint32_t);

Key24Function ChooseKey24() {
#ifdef TRELLIN_AVX2_DISPATCH
  if (HasAvx2()) return Key24Avx2;
#endif
  return Key24;
}

template <unsigned Bits>
void KeyIndexedRows(const DibPicture& p, uint8_t* out, size_t stride) {
  const Palette palette = KeyedPalette(p);
  const int32_t w = p.width;
  ForEachRow(p, out, stride, [&](const uint8_t* in, uint8_t* o) {
    for (int32_t x = 0; x < w; ++x) std::memcpy(o + size_t{4} * x, palette.entries[IndexAt<Bits>(in, x)], 4);
  });
}

bool KeyRows(const DibPicture& picture, uint8_t* out, size_t stride) {
  switch (picture.header.biBitCount) {
    case 24: {
      const uint32_t key = ColourOf(picture.pixels);  // the first stored pixel
      const Key24Function keyRow = ChooseKey24();
      const int32_t w = picture.width;
      ForEachRow(picture, out, stride, [&](const uint8_t* in, uint8_t* o) { keyRow(in, o, w, key); });
      return true;
    }
    case 8:
      KeyIndexedRows<8>(picture, out, stride);
      return true;
    case 4:
      KeyIndexedRows<4>(picture, out, stride);
      return true;
    case 1:
      KeyIndexedRows<1>(picture, out, stride);
      return true;
    default:
      return false;
  }
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

bool Premultiply(uint8_t* pixels, const DibPicture& picture) {
  if (picture.header.biBitCount != 32) return false;
  const size_t count = Bgra32Of(pixels, picture.width, picture.height).bytes / 4;
  RunVectorised([&] {
    if (SameMasks(picture.masks, kBgra)) {
      PremultiplyBgra(pixels, count);
    } else if (SameMasks(picture.masks, kRgba)) {
      PremultiplyRgba(pixels, count);
    } else {
      PremultiplyMasked(pixels, count, picture.masks);
    }
  });
  return true;
}

bool KeyForeground(const DibPicture& picture, uint8_t* out) {
  bool keyed = false;
  RunVectorised([&] { keyed = KeyRows(picture, out, Bgra32Of(out, picture.width, picture.height).stride); });
  return keyed;
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
