// The caller's picture as the writer reads it: a BITMAPINFOHEADER and a
// separate block of rows, checked once so that every later read stays
// inside the rows the header describes.
#pragma once

#include <cstddef>
#include <cstdint>

struct DibRows {
  uint32_t width = 0;
  uint32_t height = 0;
  int bytesPerPixel = 0;  // 3 or 4; the fourth byte is not written
  size_t stride = 0;      // bytes from one stored row to the next, padding included
  bool topDown = false;   // a negative height in the header
  int32_t pixelsPerMeterX = 0;
  int32_t pixelsPerMeterY = 0;
  const uint8_t* pixels = nullptr;

  // Row y counted from the top of the picture.
  const uint8_t* Row(uint32_t y) const { return pixels + size_t{topDown ? y : height - 1 - y} * stride; }
};

// False for a header the writer cannot write: not BI_RGB, not 24 or 32
// bits per pixel, or rows whose block (or whose 32-bit form) passes the
// picture size cap that the viewer holds its pictures to; within the cap
// every row length fits the 32-bit sizes the encoders take.
bool ReadDibRows(const void* header, const void* pixels, DibRows* rows);
