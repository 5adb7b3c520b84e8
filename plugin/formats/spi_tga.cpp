#include "plugin/formats/spi_tga.h"

#include <cstring>

#include "plugin/formats/tga_header.h"

namespace {

constexpr int kStages = 1;
constexpr size_t kPaletteInfoSize = 1078;  // header, 256 RGBQUADs, 14 spare bytes
constexpr size_t kPlainInfoSize = 54;

struct TgaLayout {
  TgaHeader header;
  bool expand;  // 8-bit indices through a 32-bit colour map
  unsigned outputBits;
  size_t rowBytes;  // output row without padding
  size_t stride;
  size_t imageSize;
  size_t pixelStart;   // offset of the first stored pixel
  size_t storedBytes;  // all stored pixels
};

// The pixels and a colour table of at most 256 entries must be present
// (else UnsupportedFormat) before the bitmap's sizes are planned
// (OutOfMemory when they overflow), so that a truncated file is refused
// alike in 32-bit and 64-bit processes.
SpiResult Plan(ByteSpan data, const TgaHeader& h, TgaLayout* l) {
  l->header = h;
  l->expand = h.pixelDepth == 8 && h.colourMapEntryBits == 32;
  l->outputBits = l->expand ? 32 : h.pixelDepth;
  const size_t mapEntries = h.colourMapLength;
  l->pixelStart = TgaHeader::kSize + (l->expand ? 4 * mapEntries : l->outputBits == 8 ? 3 * mapEntries : 0);
  const uint64_t rowBits = uint64_t{l->outputBits} * h.width;  // 8 by 16 bits
  const uint64_t storedRow = l->expand ? h.width : rowBits / 8;
  uint64_t storedBytes;
  if (!MulCount(storedRow, h.height, &storedBytes) || !data.Has(l->pixelStart, storedBytes))
    return SpiResult::UnsupportedFormat;
  // A colour table holds at most 256 entries.
  if (l->outputBits == 8 && mapEntries > 256) return SpiResult::UnsupportedFormat;
  if (!ToSize(storedBytes, &l->storedBytes) || !ToSize(rowBits / 8, &l->rowBytes) ||
      !AlignRow(l->rowBytes, &l->stride) || !MulSize(l->stride, h.height, &l->imageSize))
    return SpiResult::OutOfMemory;
  return SpiResult::Ok;
}

// Output row of the n-th stored row: with the top-row-first flag the first
// stored row is the image's top row, the last row of the bottom-up block.
uint8_t* OutputRow(const TgaLayout& l, uint8_t* bits, size_t storedRow) {
  const size_t row = l.header.topRowFirst ? l.header.height - 1 - storedRow : storedRow;
  return bits + row * l.stride;
}

void ExpandThroughMap(ByteSpan data, const TgaLayout& l, uint8_t* bits) {
  const ColourMap map(data, TgaHeader::kSize, 4);
  const uint8_t* index = data.data + l.pixelStart;
  for (size_t y = 0; y < l.header.height; ++y) {
    uint8_t* out = OutputRow(l, bits, y);
    for (size_t x = 0; x < l.header.width; ++x, out += 4) {
      // An index whose entry lies past the end of the data stays transparent.
      if (const uint8_t* entry = map.Entry(*index++)) std::memcpy(out, entry, 4);
    }
  }
}

void CopyRows(ByteSpan data, const TgaLayout& l, uint8_t* bits) {
  const uint8_t* in = data.data + l.pixelStart;
  if (!l.header.topRowFirst && l.rowBytes == l.stride) {
    if (l.imageSize) std::memcpy(bits, in, l.imageSize);
    return;
  }
  for (size_t y = 0; y < l.header.height; ++y, in += l.rowBytes) std::memcpy(OutputRow(l, bits, y), in, l.rowBytes);
}

// The colour table of an 8-bit image: n entries of blue, green, red.
void WritePalette(ByteSpan data, const TgaHeader& h, uint8_t* info) {
  uint8_t* quad = info + kBitmapInfoHeaderSize;
  for (size_t i = 0; i < h.colourMapLength; ++i, quad += 4) std::memcpy(quad, data.data + TgaHeader::kSize + 3 * i, 3);
}

}  // namespace

SpiResult SpiTga::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, TgaHeader::kSize)) return SpiResult::UnsupportedFormat;
  const TgaHeader h = TgaHeader::Read(data.data);
  *info = MakePictureInfo(h.width, h.height, h.pixelDepth, h.xOrigin, h.yOrigin);
  return SpiResult::Ok;
}

SpiResult SpiTga::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, TgaHeader::kSize)) return SpiResult::UnsupportedFormat;
  TgaLayout l;
  const SpiResult planned = Plan(data, TgaHeader::Read(data.data), &l);
  if (planned != SpiResult::Ok) return planned;
  const TgaHeader& h = l.header;
  const bool indexed = l.outputBits == 8;

  DibOutput out;
  if (!out.AllocateInfo(indexed ? kPaletteInfoSize : kPlainInfoSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = h.width;
  header.height = h.height;
  header.bitCount = static_cast<uint16_t>(l.outputBits);
  if (l.outputBits < 24) header.sizeImage = static_cast<uint32_t>(l.imageSize);
  if (indexed && h.colourMapLength != 256) header.clrUsed = h.colourMapLength;
  WriteDibHeader(out.info(), header);
  if (indexed) WritePalette(data, h, out.info());
  if (!out.AllocateBits(l.imageSize)) return SpiResult::OutOfMemory;

  if (l.expand) {
    ExpandThroughMap(data, l, out.bits());
  } else {
    CopyRows(data, l, out.bits());
  }
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
