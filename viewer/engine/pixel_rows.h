// What the engine's pixel files share: the fixed channel layouts, channels
// taken out through masks, a colour table as a palette, the pixels of
// indexed rows and the walk over a picture's rows bottom first. Only
// pixel_convert.cpp and foreground_pixels.cpp include it.
#pragma once

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "viewer/engine/dib.h"
#include "viewer/engine/pixel_convert.h"

namespace pixel_rows {

inline constexpr ChannelMasks kBgra{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
inline constexpr ChannelMasks kRgba{0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
inline constexpr ChannelMasks kRgb555{0x7C00, 0x03E0, 0x001F, 0};
inline constexpr ChannelMasks kRgb565{0xF800, 0x07E0, 0x001F, 0};

// Index of the highest set bit; -1 for 0.
constexpr int TopBit(uint32_t mask) {
  int top = -1;
  for (; mask; mask >>= 1) ++top;
  return top;
}

inline bool SameColourMasks(const ChannelMasks& a, const ChannelMasks& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool SameMasks(const ChannelMasks& a, const ChannelMasks& b) { return SameColourMasks(a, b) && a.alpha == b.alpha; }

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
inline Palette KeyedPalette(const DibPicture& picture) {
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

// For the indexed depths, 8, 4 and 1 bits, calls use(bits) with the depth
// as a std::integral_constant, so that the row code is made for each; false
// for any other depth.
template <class Use>
bool WithIndexBits(unsigned bitCount, Use use) {
  switch (bitCount) {
    case 8:
      use(std::integral_constant<unsigned, 8>{});
      return true;
    case 4:
      use(std::integral_constant<unsigned, 4>{});
      return true;
    case 1:
      use(std::integral_constant<unsigned, 1>{});
      return true;
    default:
      return false;
  }
}

// The stored row that becomes output row y (outputs are bottom-up).
inline const uint8_t* SourceRow(const DibPicture& picture, int32_t y) {
  const int32_t stored = picture.topDown ? picture.height - 1 - y : y;
  return picture.pixels + static_cast<size_t>(stored) * picture.stride;
}

// Calls row(stored row, output row) for every output row, bottom first.
template <class Row>
void ForEachRow(const DibPicture& picture, uint8_t* out, size_t outStride, Row row) {
  for (int32_t y = 0; y < picture.height; ++y, out += outStride) row(SourceRow(picture, y), out);
}

}  // namespace pixel_rows
