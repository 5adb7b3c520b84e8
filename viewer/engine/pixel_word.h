// A pixel as one 32-bit word: blue in bits 0-7, green 8-15, red 16-23,
// alpha 24-31. Loops that treat a pixel as a word vectorise into plain
// 32-bit lanes. memcpy compiles to a single move on the little-endian
// machines the viewer runs on.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "pixel words assume a little-endian machine"
#endif

inline uint32_t LoadPixel(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;
}

inline void StorePixel(uint8_t* p, uint32_t word) { std::memcpy(p, &word, 4); }

// The blue, green and red bytes of a 24-bit pixel as a word with alpha 0.
inline uint32_t ColourOf(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
}
