#include "plugin/formats/spi_lgf.h"

#include <cstring>

namespace {

constexpr int kStages = 2;
constexpr size_t kHeaderSize = 12;
constexpr size_t kPaletteSize = 1024;
constexpr size_t kPaletteInfoSize = 1078;  // header, 256 RGBQUADs, 14 spare bytes
constexpr size_t kPlainInfoSize = 54;
constexpr uint8_t kIndexedCode = 8;
constexpr uint8_t kExpandedCode = 9;  // indices expanded through the palette

struct LgfLayout {
  uint8_t code;
  uint16_t width;
  uint16_t height;
  unsigned outputBits;
  size_t stride;     // output row
  size_t storedRow;  // stored row, padded to 4 bytes as well
  size_t imageSize;
  size_t pixelStart;
};

// Only depths whose rows the host measures as we do: any other code would
// give a header whose rows do not fit the bits block (a code of 4 makes a
// stride of 0), so such files are refused.
bool IsKnownCode(uint8_t code) {
  return code == kIndexedCode || code == kExpandedCode || code == 16 || code == 24 || code == 32;
}

bool HasPalette(uint8_t code) { return code == kIndexedCode || code == kExpandedCode; }

// The rows must all be present (else UnsupportedFormat) before the
// bitmap's size is planned (OutOfMemory when it overflows), so that a
// truncated file is refused alike in 32-bit and 64-bit processes.
SpiResult Plan(ByteSpan data, LgfLayout* l) {
  const uint8_t* p = data.data;
  l->code = p[3];
  l->width = Le16(p + 4);
  l->height = Le16(p + 6);
  l->outputBits = l->code == kExpandedCode ? 32 : l->code;
  l->pixelStart = kHeaderSize + (HasPalette(l->code) ? kPaletteSize : 0);
  const size_t storedPixelBytes = l->code == kExpandedCode ? 1 : l->outputBits / 8;
  uint64_t storedBytes;
  if (!AlignRow(storedPixelBytes * l->width, &l->storedRow) || !MulCount(l->storedRow, l->height, &storedBytes) ||
      !data.Has(l->pixelStart, storedBytes))
    return SpiResult::UnsupportedFormat;
  if (!AlignRow(size_t{l->outputBits / 8} * l->width, &l->stride) || !MulSize(l->stride, l->height, &l->imageSize))
    return SpiResult::OutOfMemory;
  return SpiResult::Ok;
}

// The image's top row is the last row of the bottom-up block.
uint8_t* OutputRow(const LgfLayout& l, uint8_t* bits, size_t storedRow) {
  return bits + (l.height - 1 - storedRow) * l.stride;
}

void ExpandThroughPalette(ByteSpan data, const LgfLayout& l, uint8_t* bits) {
  const uint8_t* palette = data.data + kHeaderSize;
  const uint8_t* row = data.data + l.pixelStart;
  for (size_t y = 0; y < l.height; ++y, row += l.storedRow) {
    uint8_t* out = OutputRow(l, bits, y);
    for (size_t x = 0; x < l.width; ++x, out += 4) std::memcpy(out, palette + 4 * row[x], 4);
  }
}

void CopyRows(ByteSpan data, const LgfLayout& l, uint8_t* bits) {
  const uint8_t* row = data.data + l.pixelStart;
  for (size_t y = 0; y < l.height; ++y, row += l.storedRow) std::memcpy(OutputRow(l, bits, y), row, l.stride);
}

}  // namespace

SpiResult SpiLgf::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kHeaderSize)) return SpiResult::UnsupportedFormat;
  *info = MakePictureInfo(Le16(data.data + 4), Le16(data.data + 6), data.data[3]);
  return SpiResult::Ok;
}

SpiResult SpiLgf::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kHeaderSize) || !IsKnownCode(data.data[3])) return SpiResult::UnsupportedFormat;
  LgfLayout l;
  const SpiResult planned = Plan(data, &l);
  if (planned != SpiResult::Ok) return planned;
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;

  // Every byte of the bits block is written below (whole stored rows, or
  // output rows of 4 × width bytes), so it needs no zero-fill.
  DibOutput out;
  const bool indexed = l.outputBits == 8;
  if (!out.AllocateInfo(indexed ? kPaletteInfoSize : kPlainInfoSize) || !out.AllocateBits(l.imageSize, false))
    return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = l.width;
  header.height = l.height;
  header.bitCount = static_cast<uint16_t>(l.outputBits);
  header.sizeImage = static_cast<uint32_t>(l.imageSize);
  WriteDibHeader(out.info(), header);
  if (indexed) std::memcpy(out.info() + kBitmapInfoHeaderSize, data.data + kHeaderSize, kPaletteSize);

  if (l.code == kExpandedCode) {
    ExpandThroughPalette(data, l, out.bits());
  } else {
    CopyRows(data, l, out.bits());
  }
  if (progress.Stop(2, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
