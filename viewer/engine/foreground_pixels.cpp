// The foreground's pixels: premultiplied by their alpha, or keyed from a
// picture without alpha.
#include "viewer/engine/foreground_pixels.h"

#include <cstring>

#include "viewer/engine/pixel_rows.h"
#include "viewer/engine/pixel_word.h"
#include "viewer/engine/vectorise.h"

namespace {

using namespace pixel_rows;

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
    default:
      return WithIndexBits(picture.header.biBitCount, [&](auto bits) { KeyIndexedRows<bits()>(picture, out, stride); });
  }
}

}  // namespace

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
