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

  static Grid Read(const uint8_t* p) { return Grid{Le16(p + 4), Le16(p + 6), Le16(p + 8), Le16(p + 10), Le32(p + 12)}; }
};

// The picture being assembled: where each tile's cell lies in the bits.
struct Canvas {
  uint8_t* bits;
  size_t stride;
  size_t cellBytes;  // one tile row's share of an output row
  size_t cellRows;
};

// One tile record: a small colour-mapped TGA, its indices after its map.
struct TileRecord {
  TgaHeader header;
  ByteSpan record;  // from the record's start to the end of the data
  uint64_t indexStart;

  // False when the header or the indices lie past the data.
  static bool Read(ByteSpan data, uint64_t offset, TileRecord* tile) {
    if (!data.Has(offset, TgaHeader::kSize)) return false;
    tile->record = data.From(static_cast<size_t>(offset));
    tile->header = TgaHeader::Read(tile->record.data);
    const TgaHeader& h = tile->header;
    uint64_t mapBits, indexCount;
    tile->indexStart = TgaHeader::kSize;
    return MulCount(h.colourMapLength, h.colourMapEntryBits, &mapBits) &&
           AddCount(tile->indexStart, mapBits / 8, &tile->indexStart) && MulCount(h.width, h.height, &indexCount) &&
           tile->record.Has(tile->indexStart, indexCount);
  }
};

// Every record the grid draws must be there, indices and all, before the
// picture is allocated, so a truncated file is refused alike whatever size
// the grid claims. Records lie a fixed step apart; with a step of 0 every
// cell is drawn from the first record.
bool RecordsArePresent(ByteSpan data, const Grid& grid) {
  const uint64_t cells = uint64_t{grid.across} * grid.down;
  if (cells == 0) return true;
  const uint64_t records = grid.recordSize ? cells : 1;
  uint64_t lastOffset;
  // The last record first: once it lies in the data, the records number
  // no more than the data's bytes, and the walk below stays short.
  if (!MulCount(records - 1, grid.recordSize, &lastOffset) || !AddCount(lastOffset, kGridHeaderSize, &lastOffset) ||
      !data.Has(lastOffset, TgaHeader::kSize))
    return false;
  TileRecord tile;
  for (uint64_t i = 0, offset = kGridHeaderSize; i < records; ++i, offset += grid.recordSize) {
    if (!TileRecord::Read(data, offset, &tile)) return false;
  }
  return true;
}

// Draws one tile record into the cell whose bottom row starts at `cell`.
// The record's own size may differ from the grid's; whatever falls outside
// the cell is clipped.
void DrawTile(const TileRecord& tile, const Canvas& canvas, uint8_t* cell) {
  const TgaHeader& h = tile.header;
  const size_t entryBits = h.colourMapEntryBits;
  if (entryBits != 24 && entryBits != 32) return;  // other maps draw nothing

  const size_t pixelBytes = entryBits / 8;
  const ColourMap map(tile.record, TgaHeader::kSize, pixelBytes);
  const size_t columns = std::min<size_t>(h.width, canvas.cellBytes / pixelBytes);
  // Only the rows that land in the cell are visited: cell rows count up from
  // the cell's bottom, and a top-row-first tile starts at its own top row.
  const size_t visible = std::min<size_t>(h.height, canvas.cellRows);
  const uint8_t* indices = tile.record.data + tile.indexStart;
  for (size_t i = 0; i < visible; ++i) {
    const size_t storedRow = h.topRowFirst ? h.height - visible + i : i;
    const size_t cellRow = h.topRowFirst ? visible - 1 - i : i;
    const uint8_t* index = indices + storedRow * h.width;
    uint8_t* out = cell + cellRow * canvas.stride;
    for (size_t x = 0; x < columns; ++x, out += pixelBytes) {
      if (const uint8_t* entry = map.Entry(index[x])) std::memcpy(out, entry, pixelBytes);
    }
  }
}

}  // namespace

SpiResult SpiBbm::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kFirstTileDepthOffset + 1)) return SpiResult::UnsupportedFormat;
  const Grid grid = Grid::Read(data.data);
  const uint8_t depth = data.data[kFirstTileDepthOffset];
  *info = MakePictureInfo(static_cast<int32_t>(grid.width()), static_cast<int32_t>(grid.height()), depth ? depth : 32);
  return SpiResult::Ok;
}

SpiResult SpiBbm::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kGridHeaderSize + TgaHeader::kSize)) return SpiResult::UnsupportedFormat;
  const Grid grid = Grid::Read(data.data);
  const TgaHeader first = TgaHeader::Read(data.data + kGridHeaderSize);
  if (data.data[kFirstTileDepthOffset] != 8) return SpiResult::UnsupportedFormat;
  const unsigned outputBits = first.colourMapEntryBits;
  if (!RecordsArePresent(data, grid)) return SpiResult::UnsupportedFormat;

  // Bit counts in 64 bits: a row of 2^32 bits is still a row of 2^29 bytes.
  Canvas canvas;
  const uint64_t rowBits = uint64_t{grid.width()} * outputBits, cellBits = uint64_t{grid.tileWidth} * outputBits;
  size_t imageSize, bandSize;
  if (!ToSize(rowBits / 8, &canvas.stride) || !AlignRow(canvas.stride, &canvas.stride) ||
      !MulSize(canvas.stride, grid.height(), &imageSize) || !MulSize(grid.tileHeight, canvas.stride, &bandSize))
    return SpiResult::OutOfMemory;
  canvas.cellBytes = static_cast<size_t>(cellBits / 8);
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

  uint64_t recordOffset = kGridHeaderSize;
  TileRecord tile;
  for (size_t row = 0; row < grid.down; ++row) {
    const size_t band = first.topRowFirst ? grid.down - 1 - row : row;
    uint8_t* bandStart = canvas.bits + band * bandSize;
    for (size_t column = 0; column < grid.across; ++column, recordOffset += grid.recordSize) {
      // Every record is present, as checked above.
      if (TileRecord::Read(data, recordOffset, &tile)) DrawTile(tile, canvas, bandStart + column * canvas.cellBytes);
    }
  }
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
