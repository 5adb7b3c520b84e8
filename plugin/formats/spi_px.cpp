#include "plugin/formats/spi_px.h"

#include <cstring>

#include "plugin/formats/px_header.h"

namespace {

constexpr int kStages = 1;
constexpr size_t kInfoMinimum = 64;
constexpr uint16_t kOuterFormat = 144;
constexpr uint16_t kGreyFormat = 1;  // below 16 bits: no colour table, a grey ramp
constexpr size_t kColours = 256;
constexpr size_t kColourTableSize = 4 * kColours;

// The 16-bit layouts that store their pixels in wider units.
enum class Units {
  kNone,
  kFourBytesPerPixel,  // format 2: the pixel, then two unused bytes
  kEightBytesPerPair,  // format 3: four unused bytes, then two pixels
};

struct PxLayout {
  PxHeader header;
  Units units;
  bool colourTable;  // depth below 16
  size_t rowBytes;   // output row without padding
  size_t storedRow;  // input bytes per row
  size_t stride;
  size_t imageSize;
  size_t tableStart;  // the file's colour table, when there is one
  size_t pixelStart;
};

// Behind the outer header (format 144, depth 0) the picture's own header
// starts 32 bytes in; `p` must hold a PX header.
size_t HeaderStart(const uint8_t* p) {
  const PxHeader outer = PxHeader::Read(p);
  return outer.format == kOuterFormat && outer.depth == 0 ? PxHeader::kSize : 0;
}

Units UnitsOf(const PxHeader& h) {
  if (h.depth != 16) return Units::kNone;
  return h.format == 2 ? Units::kFourBytesPerPixel : h.format == 3 ? Units::kEightBytesPerPair : Units::kNone;
}

// Input bytes per stored row, reckoned in 64 bits from the header's width
// so that no width can wrap it.
bool StoredRowBytes(Units units, uint64_t width, uint64_t pixelBytes, uint64_t* bytes) {
  switch (units) {
    case Units::kFourBytesPerPixel:
      return MulCount(width, 4, bytes);
    case Units::kEightBytesPerPair:
      return MulCount(width / 2, 8, bytes);
    case Units::kNone:
      break;
  }
  return MulCount(width, pixelBytes, bytes);
}

// Fails with UnsupportedFormat when the header or the pixels it promises
// are not all in the data, OutOfMemory when the bitmap's size overflows.
// The pixels are looked for first, so a truncated file gives the same
// answer in a 32-bit process as in a 64-bit one.
SpiResult Plan(ByteSpan data, PxLayout* l) {
  if (!data.Has(0, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const size_t start = HeaderStart(data.data);
  if (!data.Has(start, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const PxHeader& h = l->header = PxHeader::Read(data.data + start);
  // A negative size describes no picture.
  if (h.width < 0 || h.height < 0) return SpiResult::UnsupportedFormat;
  const uint64_t width = static_cast<uint64_t>(h.width), height = static_cast<uint64_t>(h.height);
  const size_t pixelBytes = h.depth / 8;
  l->units = UnitsOf(h);
  l->colourTable = h.depth < 16;
  l->tableStart = start + PxHeader::kSize;
  l->pixelStart = l->tableStart + (l->colourTable && h.format != kGreyFormat ? kColourTableSize : 0);
  uint64_t storedRow, storedBytes;
  if (!StoredRowBytes(l->units, width, pixelBytes, &storedRow) || !MulCount(storedRow, height, &storedBytes) ||
      !data.Has(l->pixelStart, storedBytes))
    return SpiResult::UnsupportedFormat;
  if (!ToSize(storedRow, &l->storedRow) || !MulSize(static_cast<size_t>(width), pixelBytes, &l->rowBytes) ||
      !PlanBits(width, height, pixelBytes, &l->stride, &l->imageSize))
    return SpiResult::OutOfMemory;
  return SpiResult::Ok;
}

void WriteColourTable(ByteSpan data, const PxLayout& l, uint8_t* table) {
  if (l.header.format != kGreyFormat) {
    std::memcpy(table, data.data + l.tableStart, kColourTableSize);
    return;
  }
  for (size_t i = 0; i < kColours; ++i, table += 4) table[0] = table[1] = table[2] = static_cast<uint8_t>(i);
}

// The output bytes a stored row fills.
size_t WrittenRowBytes(const PxLayout& l) {
  const size_t width = static_cast<size_t>(l.header.width);
  switch (l.units) {
    case Units::kFourBytesPerPixel:
      return 2 * width;
    case Units::kEightBytesPerPair:
      return 4 * (width / 2);  // with an odd width the last pixel stays 0
    case Units::kNone:
      break;
  }
  return l.rowBytes;
}

void CopyRow(const PxLayout& l, const uint8_t* in, uint8_t* out) {
  const size_t width = static_cast<size_t>(l.header.width);
  switch (l.units) {
    case Units::kFourBytesPerPixel:
      for (size_t x = 0; x < width; ++x) std::memcpy(out + 2 * x, in + 4 * x, 2);
      return;
    case Units::kEightBytesPerPair:
      for (size_t pair = 0; pair < width / 2; ++pair) std::memcpy(out + 4 * pair, in + 8 * pair + 4, 4);
      return;
    case Units::kNone:
      std::memcpy(out, in, l.rowBytes);
      return;
  }
}

// The first stored row is the top one, the last row of the bottom-up block.
void CopyRows(ByteSpan data, const PxLayout& l, uint8_t* bits) {
  if (l.storedRow == 0) return;
  const uint8_t* in = data.data + l.pixelStart;
  uint8_t* out = bits + l.imageSize;
  for (int32_t y = 0; y < l.header.height; ++y, in += l.storedRow) {
    out -= l.stride;
    CopyRow(l, in, out);
  }
}

}  // namespace

SpiResult SpiPX::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kInfoMinimum)) return SpiResult::UnsupportedFormat;
  const PxHeader h = PxHeader::Read(data.data + HeaderStart(data.data));
  *info = MakePictureInfo(h.width, h.height, h.depth);
  return SpiResult::Ok;
}

SpiResult SpiPX::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  PxLayout l;
  const SpiResult planned = Plan(data, &l);
  if (planned != SpiResult::Ok) return planned;

  DibOutput out;
  if (!out.AllocateInfo(kBitmapInfoHeaderSize + (l.colourTable ? kColourTableSize : 0))) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = l.header.width;
  header.height = l.header.height;
  header.bitCount = l.header.depth;
  header.sizeImage = static_cast<uint32_t>(l.imageSize);
  WriteDibHeader(out.info(), header);
  if (l.colourTable) WriteColourTable(data, l, out.info() + kBitmapInfoHeaderSize);
  // Rows that fill their stride write every byte: no zero-fill needed.
  if (!out.AllocateBits(l.imageSize, WrittenRowBytes(l) != l.stride)) return SpiResult::OutOfMemory;

  CopyRows(data, l, out.bits());
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
