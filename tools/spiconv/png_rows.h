// The rows a PNG file is made of, from the two blocks a plug-in handed
// over. A picture with an alpha channel keeps it: 32-bit blue, green, red,
// alpha, not premultiplied. Every other picture (paletted ones included)
// becomes 24-bit blue, green, red.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bytes.h"

struct PngRows {
  uint32_t width = 0;
  uint32_t height = 0;
  bool alpha = false;  // 4 bytes a pixel, else 3
  size_t stride = 0;   // bytes from one row to the next
  int32_t pixelsPerMeterX = 0;
  int32_t pixelsPerMeterY = 0;
  std::vector<uint8_t> pixels;  // bottom row first, as in a bitmap

  // Row y counted from the top of the picture.
  const uint8_t* Row(uint32_t y) const { return pixels.data() + size_t{height - 1 - y} * stride; }
};

// False when the blocks are not a picture of a kind the engine's intake
// takes, or too short for what the header says. A 32-bit picture whose
// alpha is 0 everywhere has none: its fourth byte is the unused one of a
// plain 32-bit bitmap, and it is written opaque. May throw std::bad_alloc.
bool MakePngRows(ByteSpan info, ByteSpan bits, PngRows* rows);
