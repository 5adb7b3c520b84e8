#include "plugin/formats/spi_cz1.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "plugin/formats/cz_strips.h"

namespace {

enum RowMode : uint8_t { kRaw = 0, kDeflated = 1, kAlongRow = 2, kAgainstRowAbove = 3 };

// Each row buffer holds the planes of one row of the widest strip.
constexpr size_t kMaxPlanes = 4;

// The fewest bytes a stored row takes: its mode byte, then the raw planes
// or at least the two bytes of a compressed length.
size_t SmallestStoredRow(size_t rowBytes) { return 1 + std::min<size_t>(rowBytes, 2); }

// Only 3 and 4 planes have a layout; the input must hold at least the
// smallest stored form of every row before the picture is allocated.
SpiResult RowsCanFit(const CzStripPlace& place) {
  const CzStrip& strip = place.strip;
  if (strip.bytesPerPixel != 3 && strip.bytesPerPixel != 4) return SpiResult::UnsupportedFormat;
  const size_t rowBytes = size_t{strip.width} * strip.bytesPerPixel;
  if (uint64_t{strip.height} * SmallestStoredRow(rowBytes) > place.data.size) return kCzDataCutShort;
  return SpiResult::Ok;
}

// One zlib stream that must expand to exactly `rowBytes`.
SpiResult Inflate(const uint8_t* stream, size_t length, uint8_t* planes, size_t rowBytes) {
  uLongf produced = static_cast<uLongf>(rowBytes);
  const int result = uncompress(planes, &produced, stream, static_cast<uLong>(length));
  if (result == Z_MEM_ERROR) return SpiResult::OutOfMemory;
  return result == Z_OK && produced == rowBytes ? SpiResult::Ok : SpiResult::BrokenData;
}

// Each byte is the one before it, along the whole row across the plane
// boundaries, minus the stored byte.
void UndoAlongRow(uint8_t* planes, size_t rowBytes) {
  for (size_t j = 1; j < rowBytes; ++j) planes[j] = static_cast<uint8_t>(planes[j - 1] - planes[j]);
}

// Each byte is the byte above it minus the stored byte.
void UndoAgainstRowAbove(uint8_t* planes, const uint8_t* above, size_t rowBytes) {
  for (size_t j = 0; j < rowBytes; ++j) planes[j] = static_cast<uint8_t>(above[j] - planes[j]);
}

// Reads one stored row and leaves its unfiltered planes in `planes`.
SpiResult ReadRow(ByteReader& in, size_t rowBytes, const uint8_t* above, uint8_t* planes) {
  uint8_t mode;
  if (!in.U8(&mode)) return kCzDataCutShort;
  if (mode > kAgainstRowAbove) return SpiResult::UnsupportedFormat;
  if (mode == kRaw) {
    const uint8_t* raw;
    if (!in.Take(rowBytes, &raw)) return kCzDataCutShort;
    std::memcpy(planes, raw, rowBytes);
    return SpiResult::Ok;
  }
  const uint8_t* length;
  const uint8_t* stream;
  if (!in.Take(2, &length) || !in.Take(Be16(length), &stream)) return kCzDataCutShort;
  const SpiResult inflated = Inflate(stream, Be16(length), planes, rowBytes);
  if (inflated != SpiResult::Ok) return inflated;
  if (mode == kAlongRow) UndoAlongRow(planes, rowBytes);
  if (mode == kAgainstRowAbove) UndoAgainstRowAbove(planes, above, rowBytes);
  return SpiResult::Ok;
}

// Plane k becomes byte k of every pixel of the picture's depth. A strip
// without alpha in a 32-bit picture is opaque; a strip's alpha in a 24-bit
// picture is dropped.
template <size_t kPlanes, size_t kPixelBytes>
void Interleave(const uint8_t* planes, size_t width, uint8_t* out) {
  constexpr size_t kShared = std::min(kPlanes, kPixelBytes);
  for (size_t x = 0; x < width; ++x, out += kPixelBytes) {
    for (size_t k = 0; k < kShared; ++k) out[k] = planes[k * width + x];
    if (kShared < kPixelBytes) out[kShared] = 0xFF;
  }
}

using Interleaver = void (*)(const uint8_t*, size_t, uint8_t*);

Interleaver InterleaverFor(size_t planes, size_t pixelBytes) {
  if (planes == 4) return pixelBytes == 4 ? Interleave<4, 4> : Interleave<4, 3>;
  return pixelBytes == 4 ? Interleave<3, 4> : Interleave<3, 3>;
}

// Decodes one strip's rows into its output rows. `rowBuffers` holds two
// rows: the one being decoded and the one above it, which starts as zeros.
SpiResult DecodeRows(const CzStripPlace& place, const CzPicture& picture, uint8_t* rowBuffers, uint8_t* bits) {
  const CzStrip& strip = place.strip;
  const size_t rowBytes = size_t{strip.width} * strip.bytesPerPixel;
  uint8_t* current = rowBuffers;
  uint8_t* above = rowBuffers + kMaxPlanes * picture.width;
  std::memset(above, 0, rowBytes);
  const Interleaver interleave = InterleaverFor(strip.bytesPerPixel, picture.bytesPerPixel);
  ByteReader in(place.data);
  for (size_t y = 0; y < strip.height; ++y) {
    const SpiResult read = ReadRow(in, rowBytes, above, current);
    if (read != SpiResult::Ok) return read;
    interleave(current, strip.width, picture.Row(bits, place.topRow + y));
    std::swap(current, above);
  }
  return SpiResult::Ok;
}

// Two row buffers of the widest strip at 4 planes.
CzWorkNeeds RowBuffers(ByteSpan, const CzPicture& picture) {
  return CzWorkNeeds{2 * kMaxPlanes * uint64_t{picture.width}, true};
}

struct Cz1Format {
  static constexpr CzCountField kCountField = CzCountField::Long;
  static constexpr bool kStatesImageSize = false;
  static constexpr auto CheckStrip = RowsCanFit;
  static constexpr auto Needs = RowBuffers;
  static constexpr auto DecodeStrip = DecodeRows;
};

}  // namespace

SpiResult SpiCZ1::GetInfo(ByteSpan data, PictureInfo* info) { return GetCzInfo(data, info); }

// CZ1 pictures are decoded without progress reports.
SpiResult SpiCZ1::Decode(ByteSpan data, DecodeTarget target, const Progress&) {
  return DecodeCzPicture<Cz1Format>(data, target);
}
