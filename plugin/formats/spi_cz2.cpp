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

// A 32-bit strip as wide as the picture fills whole rows, which lie one
// after the other in the block: its stream is expanded straight into them.
bool FillsWholeRows(const CzStrip& strip, const CzPicture& picture) {
  return picture.bytesPerPixel == kStoredPixelBytes && strip.width == picture.width;
}

// Each pixel is the one before it in scan order minus its stored bytes,
// channel by channel, the chain running on from one row's end into the
// next row. The chain starts from zeros, so the first pixel, which is
// stored as it is, is negated before the chain begins.
void NegateFirstPixel(uint8_t* stored) {
  for (size_t k = 0; k < kStoredPixelBytes; ++k) stored[k] = static_cast<uint8_t>(-stored[k]);
}

// Undoes the differences of a run of pixels into `out`, which may be
// `stored` itself. A 24-bit picture leaves out the alpha chain, on which no
// other depends.
template <size_t kChannels>
void UndoRun(uint8_t (&chain)[kStoredPixelBytes], const uint8_t* stored, size_t pixels, uint8_t* out) {
  uint8_t running[kChannels];
  std::copy(chain, chain + kChannels, running);
  for (size_t x = 0; x < pixels; ++x, stored += kStoredPixelBytes, out += kChannels) {
    for (size_t k = 0; k < kChannels; ++k) out[k] = running[k] = static_cast<uint8_t>(running[k] - stored[k]);
  }
  std::copy(running, running + kChannels, chain);
}

// From the working area into the strip's rows of the bitmap.
template <size_t kChannels>
void UndoIntoRows(const uint8_t* stored, const CzStripPlace& place, const CzPicture& picture, uint8_t* bits) {
  const size_t width = place.strip.width;
  uint8_t chain[kStoredPixelBytes] = {};
  for (size_t y = 0; y < place.strip.height; ++y, stored += width * kStoredPixelBytes)
    UndoRun<kChannels>(chain, stored, width, picture.Row(bits, place.topRow + y));
}

// In the strip's own rows, where the stream left the pixels top row first,
// one run in scan order; the rows are then put bottom-up.
void UndoInPlace(uint8_t* rows, size_t height, size_t width) {
  uint8_t chain[kStoredPixelBytes] = {};
  UndoRun<kStoredPixelBytes>(chain, rows, width * height, rows);
  const size_t rowBytes = width * kStoredPixelBytes;
  for (size_t y = 0; y < height / 2; ++y)
    std::swap_ranges(rows + y * rowBytes, rows + (y + 1) * rowBytes, rows + (height - 1 - y) * rowBytes);
}

// The input must hold a stream that could fill the strip.
SpiResult StreamCanFill(const CzStripPlace& place) {
  return ExpandedSize(place.strip) > kMostExpansion * place.data.size ? kCzDataCutShort : SpiResult::Ok;
}

// What the strips need beside their own rows of the bitmap: a working area
// for the largest strip that cannot be expanded in place, and the bitmap's
// zero-fill unless in-place strips write every byte of it.
CzWorkNeeds NeedsOf(ByteSpan data, const CzPicture& picture) {
  CzWorkNeeds needs;
  needs.zeroFill = false;
  CzStrips(data, picture.stripCount).ForEach([&](const CzStripPlace& place) {
    if (place.strip.height && !FillsWholeRows(place.strip, picture)) {
      needs.workArea = std::max(needs.workArea, ExpandedSize(place.strip));
      needs.zeroFill = true;
    }
    return SpiResult::Ok;
  });
  return needs;
}

// The stream may run on to the end of the input; one that ends there
// before its strip is full fails the picture.
SpiResult DecodeStream(const CzStripPlace& place, const CzPicture& picture, uint8_t* workArea, uint8_t* bits) {
  const CzStrip& strip = place.strip;
  const size_t size = static_cast<size_t>(ExpandedSize(strip));
  if (size == 0) return SpiResult::Ok;
  const bool inPlace = FillsWholeRows(strip, picture);
  uint8_t* expanded = inPlace ? picture.Row(bits, place.topRow + strip.height - 1) : workArea;
  if (ExpandLzss(expanded, place.data, size) != size) return kCzDataCutShort;
  NegateFirstPixel(expanded);
  if (inPlace) {
    UndoInPlace(expanded, strip.height, strip.width);
  } else if (picture.bytesPerPixel == 4) {
    UndoIntoRows<4>(expanded, place, picture, bits);
  } else {
    UndoIntoRows<3>(expanded, place, picture, bits);
  }
  return SpiResult::Ok;
}

struct Cz2Format {
  static constexpr CzCountField kCountField = CzCountField::Byte;
  static constexpr bool kStatesImageSize = true;
  static constexpr auto CheckStrip = StreamCanFill;
  static constexpr auto Needs = NeedsOf;
  static constexpr auto DecodeStrip = DecodeStream;
};

}  // namespace

SpiResult SpiCZ2::GetInfo(ByteSpan data, PictureInfo* info) { return GetCzInfo(data, info); }

// CZ2 pictures are decoded without progress reports. A first record of 3
// bytes per pixel gives a 24-bit picture of the streams' colour bytes;
// the other records' bytes per pixel are not used, as every stream holds
// 4-byte pixels.
SpiResult SpiCZ2::Decode(ByteSpan data, DecodeTarget target, const Progress&) {
  return DecodeCzPicture<Cz2Format>(data, target);
}
