// The 32-byte header that opens every PX layout: the picture size at 0 and
// 4, the format word at 16 and the depth word at 18 (bits per stored pixel).
#pragma once

#include <cstdint>

#include "base/bytes.h"
#include "base/sizes.h"

struct PxHeader {
  static constexpr size_t kSize = 32;
  static constexpr size_t kFormatOffset = 16;

  int32_t width;
  int32_t height;
  uint16_t format;
  uint16_t depth;

  // `p` must hold kSize bytes.
  static PxHeader Read(const uint8_t* p) {
    return PxHeader{static_cast<int32_t>(Le32(p)), static_cast<int32_t>(Le32(p + 4)), Le16(p + kFormatOffset),
                    Le16(p + kFormatOffset + 2)};
  }
};

// The stride and size of a bottom-up bits block of `width` × `height`
// pixels of `pixelBytes`; false when a size does not fit in size_t.
inline bool PlanBits(uint64_t width, uint64_t height, size_t pixelBytes, size_t* stride, size_t* imageSize) {
  size_t rowBytes;
  return width <= SIZE_MAX && height <= SIZE_MAX && MulSize(static_cast<size_t>(width), pixelBytes, &rowBytes) &&
         AlignRow(rowBytes, stride) && MulSize(*stride, static_cast<size_t>(height), imageSize);
}
