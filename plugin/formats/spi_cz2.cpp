#include "plugin/formats/spi_cz2.h"

#include <algorithm>

#include "plugin/formats/cz_strips.h"
#include "plugin/framework/lzss.h"

namespace {

// The stream always holds blue, green, red and alpha, whatever the
// records state.
constexpr size_t kStoredPixelBytes = 4;
// An LZSS stream of n bytes expands to fewer than 9 × n: at best a flag
// byte and eight two-byte references give 8 × 18 bytes for 17.
constexpr uint64_t kMostExpansion = 9;

uint64_t ExpandedSize(const CzStrip& strip) { return uint64_t{strip.width} * strip.height * kStoredPixelBytes; }

// Undoes the differences of one expanded strip while writing its rows: the
// first pixel is stored as it is, every later one in scan order is the
// pixel before it minus the stored bytes, the chain running on from one
// row's end to the next row's start. In a 24-bit picture the alpha chain,
// which no other channel depends on, is left out.
template <size_t kPixelBytes>
void UndoDifferences(const uint8_t* stored, const CzStripPlace& place, const CzPicture& picture, uint8_t* bits) {
  const size_t width = place.strip.width;
  uint8_t running[kPixelBytes];
  std::copy(stored, stored + kPixelBytes, running);
  for (size_t y = 0; y < place.strip.height; ++y) {
    uint8_t* out = picture.Row(bits, place.topRow + y);
    size_t x = 0;
    if (y == 0) {  // the first pixel, stored as it is
      std::copy(running, running + kPixelBytes, out);
      x = 1;
    }
    for (; x < width; ++x) {
      const uint8_t* difference = stored + (y * width + x) * kStoredPixelBytes;
      for (size_t k = 0; k < kPixelBytes; ++k) running[k] = static_cast<uint8_t>(running[k] - difference[k]);
      std::copy(running, running + kPixelBytes, out + x * kPixelBytes);
    }
  }
}

// A stream that ends before its strip is full is broken data.
SpiResult DecodeStrip(const CzStripPlace& place, const CzPicture& picture, uint8_t* expanded, uint8_t* bits) {
  const size_t size = static_cast<size_t>(ExpandedSize(place.strip));
  if (size == 0) return SpiResult::Ok;
  if (ExpandLzss(expanded, place.data, size) != size) return SpiResult::BrokenData;
  if (picture.bytesPerPixel == 4) {
    UndoDifferences<4>(expanded, place, picture, bits);
  } else {
    UndoDifferences<3>(expanded, place, picture, bits);
  }
  return SpiResult::Ok;
}

}  // namespace

SpiResult SpiCZ2::GetInfo(ByteSpan data, PictureInfo* info) { return GetCzInfo(data, info); }

// CZ2 pictures are decoded without progress reports. A first record of 3
// bytes per pixel gives a 24-bit picture of the streams' colour bytes;
// the other records' bytes per pixel are not used, as every stream holds
// 4-byte pixels.
SpiResult SpiCZ2::Decode(ByteSpan data, DecodeTarget target, const Progress&) {
  CzPicture picture;
  uint64_t largestStrip = 0;
  const SpiResult planned = PlanCzPicture(
      data, CzCountField::Byte,
      [&](const CzStripPlace& place) {
        const uint64_t size = ExpandedSize(place.strip);
        if (size > kMostExpansion * place.data.size) return SpiResult::BrokenData;
        largestStrip = std::max(largestStrip, size);
        return SpiResult::Ok;
      },
      &picture);
  if (planned != SpiResult::Ok) return planned;

  DibOutput out;
  if (!AllocateCzOutput(picture, true, &out)) return SpiResult::OutOfMemory;
  // Room for the largest strip's expanded pixels.
  HeapBuffer expanded;
  if (largestStrip > SIZE_MAX || !expanded.Allocate(static_cast<size_t>(largestStrip))) return SpiResult::OutOfMemory;

  const SpiResult decoded = CzStrips(data, picture.stripCount).ForEach([&](const CzStripPlace& place) {
    return DecodeStrip(place, picture, expanded.data(), out.bits());
  });
  if (decoded != SpiResult::Ok) return decoded;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
