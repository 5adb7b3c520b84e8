#include "plugin/formats/spi_px4.h"

#include "plugin/formats/px_tiles.h"

namespace {

struct Px4Header {
  PxTileGrid grid;
  uint16_t tileSize;
  uint16_t colourCount;  // entries of the solid colour table
  int32_t width;
  int32_t height;

  // `p` must hold kPxTileHeaderSize bytes.
  static Px4Header Read(const uint8_t* p) {
    return Px4Header{PxTileGrid::Read(p), Le16(p + 4), Le16(p + 6), static_cast<int32_t>(Le32(p + 20)),
                     static_cast<int32_t>(Le32(p + 24))};
  }
};

struct Px4Layout {
  Px4Header header;
  const uint8_t* colours;  // the solid colour table, 4 bytes an entry
  const uint8_t* map;      // the first frame's entries
  PxTileRecords records;
};

// Reads the header and checks that the colour table and the first frame's
// map are present; false when the file cannot be decoded.
bool Plan(ByteSpan data, Px4Layout* l) {
  if (!data.Has(0, kPxTileHeaderSize)) return false;
  l->header = Px4Header::Read(data.data);
  const Px4Header& h = l->header;
  // Only 32-bit pixels are stored, and a file without frames has nothing to draw.
  if (h.grid.depthWord != kPxTileDepth || h.grid.frames == 0 || h.width <= 0 || h.height <= 0) return false;
  const size_t mapStart = kPxTileHeaderSize + size_t{h.colourCount} * kPxPixelBytes;
  const size_t frameMapBytes = SaturatingMul(2, h.grid.EntriesPerFrame());
  if (!data.Has(mapStart, frameMapBytes)) return false;
  l->colours = data.data + kPxTileHeaderSize;
  l->map = data.data + mapStart;
  // The records follow the map of every frame, decoded or not.
  const size_t recordsStart = SaturatingAdd(mapStart, SaturatingMul(h.grid.frames, frameMapBytes));
  const size_t tileBytes = SaturatingMul(size_t{h.tileSize} * h.tileSize, kPxPixelBytes);
  l->records = PxTileRecords(data, recordsStart, SaturatingAdd(2, tileBytes));
  return true;
}

// What one map entry shows.
struct Px4Cell {
  enum class Kind { Empty, Solid, Stored } kind = Kind::Empty;
  const uint8_t* colour = nullptr;
  PxTile tile;
};

// Map entry 0 is an empty cell, -n colour n - 1 of the table and n tile
// record n - 1. An entry naming a colour or a record the file does not hold
// gives false: the whole file is then taken as damaged.
bool Resolve(const Px4Layout& l, int16_t entry, Px4Cell* cell) {
  *cell = Px4Cell{};
  if (entry < 0) {
    const size_t number = static_cast<size_t>(-(entry + 1));
    if (number >= l.header.colourCount) return false;
    cell->kind = Px4Cell::Kind::Solid;
    cell->colour = l.colours + number * kPxPixelBytes;
  } else if (entry > 0) {
    if (!l.records.Find(static_cast<size_t>(entry - 1), &cell->tile)) return false;
    // A tile of width 0 counts as an empty cell: it draws nothing and the
    // next cell keeps its place in the grid, the map staying in step.
    if (cell->tile.width) cell->kind = Px4Cell::Kind::Stored;
  }
  return true;
}

// Checked before the picture is allocated, so that drawing cannot fail.
bool EveryCellResolves(const Px4Layout& l) {
  Px4Cell cell;
  for (size_t i = 0; i < l.header.grid.EntriesPerFrame(); ++i) {
    if (!Resolve(l, PxMapEntry(l.map, i), &cell)) return false;
  }
  return true;
}

// Draws one cell at (x, y) and returns how far right the next one starts:
// a stored tile moves on by its own width, every other cell by the tile size.
uint64_t DrawCell(const Px4Layout& l, const PxFrame& frame, int16_t entry, uint64_t x, uint64_t y) {
  const uint64_t tileSize = l.header.tileSize;
  Px4Cell cell;
  Resolve(l, entry, &cell);
  if (cell.kind == Px4Cell::Kind::Solid) frame.Fill(x, y, tileSize, tileSize, cell.colour);
  if (cell.kind != Px4Cell::Kind::Stored) return tileSize;
  const PxTile& tile = cell.tile;
  frame.Copy(x, y, tile.width, tile.height, tile.pixels, tile.width * kPxPixelBytes);
  return tile.width;
}

}  // namespace

SpiResult SpiPX4::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kPxTileHeaderSize)) return SpiResult::UnsupportedFormat;
  const Px4Header h = Px4Header::Read(data.data);
  *info = MakePictureInfo(h.width, h.height, h.grid.depthWord);
  return SpiResult::Ok;
}

// This layout reports no progress: the callback is never asked.
SpiResult SpiPX4::Decode(ByteSpan data, DecodeTarget target, const Progress&) {
  Px4Layout l;
  if (!Plan(data, &l) || !EveryCellResolves(l)) return SpiResult::UnsupportedFormat;
  DibOutput out;
  const SpiResult allocated = AllocatePxTilePicture(l.header.width, l.header.height, &out);
  if (allocated != SpiResult::Ok) return allocated;
  const PxFrame frame(out.bits(), static_cast<size_t>(l.header.width), static_cast<size_t>(l.header.height));
  DrawFrameCells(l.map, l.header.grid, l.header.tileSize,
                 [&](int16_t entry, uint64_t x, uint64_t y) { return DrawCell(l, frame, entry, x, y); });
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
