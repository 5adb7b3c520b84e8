// What the codec must hand out for a picture, worked out from the
// plug-in's own bitmap by the tests alone: the pixel format by depth, the
// rows top first, the palette; and a reference reduction for thumbnails,
// by exact area coverage in floating point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fixtures/picture.h"

struct ExpectedPicture {
  bool valid = false;
  std::string format;  // "32bppBGRA", "24bppBGR", "16bppBGR555", "8bppIndexed"
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bytesPerPixel = 0;
  Bytes rows;                      // top row first, width × bytesPerPixel each, no padding
  std::vector<uint32_t> palette;   // 0xFFRRGGBB, as many as the depth addresses
  std::vector<uint8_t> bgra;       // straight BGRA, top row first
};

// From the plug-in's info block (header and colour table) and bits block.
ExpectedPicture ExpectFromBitmap(const Bytes& info, const Bytes& bits);

// The thumbnail size the tests expect for a picture and an edge.
void ExpectedThumbnailSize(uint32_t width, uint32_t height, uint32_t edge, uint32_t* outWidth, uint32_t* outHeight);

// Area-average reduction of straight BGRA to `width` × `height`, colour
// weighted by alpha.
std::vector<uint8_t> ReferenceReduction(const std::vector<uint8_t>& bgra, uint32_t width, uint32_t height,
                                        uint32_t outWidth, uint32_t outHeight);

// The largest difference of any byte of two equal-sized pictures, the
// colour of pixels of alpha 0 not counted.
int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
