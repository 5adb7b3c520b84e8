#include "plugin/formats/spi_px5.h"

#include "plugin/formats/px_tiles.h"

namespace {

// Each stored tile carries two extra columns and rows that are never drawn.
constexpr size_t kTileMargin = 2;

struct Px5Header {
  PxTileGrid grid;
  uint32_t tileSize;
  int16_t frameWidth;
  int16_t frameHeight;

  // `p` must hold kPxTileHeaderSize bytes.
  static Px5Header Read(const uint8_t* p) {
    return Px5Header{PxTileGrid::Read(p), Le32(p + 4), static_cast<int16_t>(Le16(p + 20)),
                     static_cast<int16_t>(Le16(p + 22))};
  }

  // The height of all frames stacked; false when no bitmap height can hold it.
  bool PictureHeight(int32_t* height) const {
    const int64_t rows = int64_t{frameHeight} * grid.frames;
    if (rows < INT32_MIN || rows > INT32_MAX) return false;
    *height = static_cast<int32_t>(rows);
    return true;
  }
};

struct Px5Layout {
  Px5Header header;
  int32_t height;  // of the stacked picture
  size_t frameMapBytes;
  size_t mapEntries;  // of every frame
  const uint8_t* map;
  PxTileRecords records;
};

// Reads the header and checks that the map of every frame is present;
// false when the file cannot be decoded.
bool Plan(ByteSpan data, Px5Layout* l) {
  if (!data.Has(0, kPxTileHeaderSize)) return false;
  l->header = Px5Header::Read(data.data);
  const Px5Header& h = l->header;
  // Only 32-bit pixels are stored; a positive height also means at least
  // one frame of at least one row.
  if (h.grid.depthWord != kPxTileDepth || h.frameWidth <= 0 || !h.PictureHeight(&l->height) || l->height <= 0)
    return false;
  l->frameMapBytes = SaturatingMul(2, h.grid.EntriesPerFrame());
  const size_t mapBytes = SaturatingMul(l->frameMapBytes, h.grid.frames);
  if (!data.Has(kPxTileHeaderSize, mapBytes)) return false;
  l->mapEntries = mapBytes / 2;
  l->map = data.data + kPxTileHeaderSize;
  const size_t side = SaturatingAdd(h.tileSize, kTileMargin);
  const size_t tileBytes = SaturatingMul(SaturatingMul(side, side), kPxPixelBytes);
  l->records = PxTileRecords(data, kPxTileHeaderSize + mapBytes, SaturatingAdd(2, tileBytes));
  return true;
}

// Map entry n > 0 is tile record n - 1; false when the file does not hold
// it, and the whole file is then taken as damaged. Entries of 0 are empty
// cells, and so are entries below 0, which would name a record before the
// first.
bool Resolve(const Px5Layout& l, int16_t entry, PxTile* tile) {
  *tile = PxTile{};
  return entry <= 0 || l.records.Find(static_cast<size_t>(entry - 1), tile);
}

// Checked before the picture is allocated, so that drawing cannot fail.
bool EveryCellResolves(const Px5Layout& l) {
  PxTile tile;
  for (size_t i = 0; i < l.mapEntries; ++i) {
    if (!Resolve(l, PxMapEntry(l.map, i), &tile)) return false;
  }
  return true;
}

// Draws one cell at (x, y) without the tile's margin (a tile no wider or
// higher than its margin draws nothing); every cell moves on by the tile size.
uint64_t DrawCell(const Px5Layout& l, const PxFrame& frame, int16_t entry, uint64_t x, uint64_t y) {
  PxTile tile;
  Resolve(l, entry, &tile);
  if (tile.width > kTileMargin && tile.height > kTileMargin)
    frame.Copy(x, y, tile.width - kTileMargin, tile.height - kTileMargin, tile.pixels, tile.width * kPxPixelBytes);
  return l.header.tileSize;
}

}  // namespace

SpiResult SpiPX5::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kPxTileHeaderSize)) return SpiResult::UnsupportedFormat;
  const Px5Header h = Px5Header::Read(data.data);
  int32_t height;
  if (!h.PictureHeight(&height)) return SpiResult::UnsupportedFormat;
  *info = MakePictureInfo(h.frameWidth, height, h.grid.depthWord);
  return SpiResult::Ok;
}

// This layout reports no progress: the callback is never asked.
SpiResult SpiPX5::Decode(ByteSpan data, DecodeTarget target, const Progress&) {
  Px5Layout l;
  if (!Plan(data, &l) || !EveryCellResolves(l)) return SpiResult::UnsupportedFormat;
  DibOutput out;
  const SpiResult allocated = AllocatePxTilePicture(l.header.frameWidth, l.height, &out);
  if (allocated != SpiResult::Ok) return allocated;
  // Frame f fills the f-th band of frameHeight rows from the start of the
  // bottom-up block, so the last frame shows at the top.
  const size_t width = static_cast<size_t>(l.header.frameWidth);
  const size_t frameHeight = static_cast<size_t>(l.header.frameHeight);
  for (size_t f = 0; f < l.header.grid.frames; ++f) {
    const PxFrame frame(out.bits() + f * frameHeight * width * kPxPixelBytes, width, frameHeight);
    DrawFrameCells(l.map + f * l.frameMapBytes, l.header.grid, l.header.tileSize,
                   [&](int16_t entry, uint64_t x, uint64_t y) { return DrawCell(l, frame, entry, x, y); });
  }
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
