#include "plugin/formats/spi_bbm.h"

#include <algorithm>
#include <cstring>

#include "plugin/formats/tga_header.h"

namespace {

constexpr int kStages = 1;
constexpr size_t kGridHeaderSize = 16;
constexpr size_t kFirstTileDepthOffset = kGridHeaderSize + 16;
constexpr size_t kInfoSize = 54;

struct Grid {
  uint16_t tileWidth;
  uint16_t tileHeight;
  uint16_t across;
  uint16_t down;
  uint32_t recordSize;
  uint32_t width() const { return uint32_t{tileWidth} * across; }
  uint32_t height() const { return uint32_t{tileHeight} * down; }

  static Grid Read(const uint8_t* p) {
    return Grid{Le16(p + 4), Le16(p + 6), Le16(p + 8), Le16(p + 10), Le32(p + 12)};
  }
};

// The picture being assembled: where each tile's cell lies in the bits.
struct Canvas {
  uint8_t* bits;
  size_t stride;
  size_t cellBytes;  // one tile row's share of an output row
  size_t cellRows;
};

// Draws one tile record into the cell whose bottom row starts at `cell`.
// The record's own size may differ from the grid's; whatever falls outside
// the cell is clipped. Returns false when the record lies past the data.
bool DrawTile(ByteSpan data, size_t recordOffset, const Canvas& canvas, uint8_t* cell) {
  if (!data.Has(recordOffset, TgaHeader::kSize)) return false;
  const ByteSpan record = data.From(recordOffset);
  const TgaHeader h = TgaHeader::Read(record.data);
  const size_t entryBits = h.colourMapEntryBits;
  const size_t indexStart = TgaHeader::kSize + h.colourMapLength * entryBits / 8;
  if (!record.Has(indexStart, size_t{h.width} * h.height)) return false;
  if (entryBits != 24 && entryBits != 32) return true;  // other maps draw nothing

  const size_t pixelBytes = entryBits / 8;
  const ColourMap map(record, TgaHeader::kSize, pixelBytes);
  const size_t columns = std::min<size_t>(h.width, canvas.cellBytes / pixelBytes);
  // Only the rows that land in the cell are visited: cell rows count up from
  // the cell's bottom, and a top-row-first tile starts at its own top row.
  const size_t visible = std::min<size_t>(h.height, canvas.cellRows);
  for (size_t i = 0; i < visible; ++i) {
    const size_t storedRow = h.topRowFirst ? h.height - visible + i : i;
    const size_t cellRow = h.topRowFirst ? visible - 1 - i : i;
    const uint8_t* index = record.data + indexStart + storedRow * h.width;
    uint8_t* out = cell + cellRow * canvas.stride;
    for (size_t x = 0; x < columns; ++x, out += pixelBytes) {
      if (const uint8_t* entry = map.Entry(index[x])) std::memcpy(out, entry, pixelBytes);
    }
  }
  return true;
}

}  // namespace

SpiResult SpiBbm::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kFirstTileDepthOffset + 1)) return SpiResult::UnsupportedFormat;
  const Grid grid = Grid::Read(data.data);
  const uint8_t depth = data.data[kFirstTileDepthOffset];
  *info = MakePictureInfo(static_cast<int32_t>(grid.width()), static_cast<int32_t>(grid.height()),
                          depth ? depth : 32);
  return SpiResult::Ok;
}

SpiResult SpiBbm::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kGridHeaderSize + TgaHeader::kSize)) return SpiResult::UnsupportedFormat;
  const Grid grid = Grid::Read(data.data);
  const TgaHeader first = TgaHeader::Read(data.data + kGridHeaderSize);
  if (data.data[kFirstTileDepthOffset] != 8) return SpiResult::UnsupportedFormat;
  const unsigned outputBits = first.colourMapEntryBits;

  Canvas canvas;
  size_t imageSize;
  if (!AlignRow(size_t{grid.width()} * outputBits / 8, &canvas.stride) ||
      !MulSize(canvas.stride, grid.height(), &imageSize))
    return SpiResult::OutOfMemory;
  canvas.cellBytes = size_t{grid.tileWidth} * outputBits / 8;
  canvas.cellRows = grid.tileHeight;

  DibOutput out;
  if (!out.AllocateInfo(kInfoSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = static_cast<int32_t>(grid.width());
  header.height = static_cast<int32_t>(grid.height());
  header.bitCount = static_cast<uint16_t>(outputBits);
  WriteDibHeader(out.info(), header);
  if (!out.AllocateBits(imageSize)) return SpiResult::OutOfMemory;
  canvas.bits = out.bits();

  const size_t bandSize = canvas.cellRows * canvas.stride;
  uint64_t recordOffset = kGridHeaderSize;
  for (size_t row = 0; row < grid.down; ++row) {
    const size_t band = first.topRowFirst ? grid.down - 1 - row : row;
    uint8_t* bandStart = canvas.bits + band * bandSize;
    for (size_t column = 0; column < grid.across; ++column, recordOffset += grid.recordSize) {
      if (recordOffset > data.size ||
          !DrawTile(data, static_cast<size_t>(recordOffset), canvas, bandStart + column * canvas.cellBytes))
        return SpiResult::UnsupportedFormat;
    }
  }
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
