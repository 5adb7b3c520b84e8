// What the two tiled PX layouts (formats 11 and 12) have in common: the
// header fields they keep at the same offsets, the 32-bit bitmap they
// build, tile records of one fixed size found by number, the walk over a
// frame's tile map, and a frame of the picture that cells are clipped to.
#pragma once

#include <cstdint>

#include "plugin/framework/spi_base.h"

constexpr size_t kPxTileHeaderSize = 32;
constexpr uint16_t kPxTileDepth = 32;
constexpr size_t kPxPixelBytes = 4;

// Offsets computed from header fields saturate at SIZE_MAX instead of
// wrapping; ByteSpan::Has never accepts such an offset, so a record or map
// that lies beyond any possible input is simply absent.
inline size_t SaturatingMul(size_t a, size_t b) {
  size_t product;
  return MulSize(a, b, &product) ? product : SIZE_MAX;
}
inline size_t SaturatingAdd(size_t a, size_t b) {
  size_t sum;
  return AddSize(a, b, &sum) ? sum : SIZE_MAX;
}

// The header fields both layouts keep at the same offsets.
struct PxTileGrid {
  uint32_t frames;
  uint16_t depthWord;
  uint16_t columns;  // map entries per tile row
  uint16_t rows;     // tile rows per frame

  size_t EntriesPerFrame() const { return SaturatingMul(columns, rows); }

  // `header` must hold kPxTileHeaderSize bytes.
  static PxTileGrid Read(const uint8_t* header) {
    return PxTileGrid{Le32(header), Le16(header + 18), Le16(header + 28), Le16(header + 30)};
  }
};

// A stored tile: `height` rows of `width` pixels, packed row after row.
struct PxTile {
  size_t width = 0;
  size_t height = 0;
  const uint8_t* pixels = nullptr;
};

// Tile records of one fixed size, one after another from `first`: a width
// byte, a height byte and the tile's pixel rows. Only the tile's own pixels
// are read, so the unused rest of the last record may be missing.
class PxTileRecords {
 public:
  PxTileRecords() = default;
  PxTileRecords(ByteSpan data, size_t first, size_t recordSize) : data_(data), first_(first), recordSize_(recordSize) {}

  // Record `number` (counted from 0); false when its header or pixels lie
  // past the input, or when its pixels would run on into the next record.
  bool Find(size_t number, PxTile* tile) const;

 private:
  ByteSpan data_;
  size_t first_ = SIZE_MAX;
  size_t recordSize_ = 2;
};

// The 32-bit bitmap both layouts build: a bare 40-byte header and
// zero-filled rows of width × 4 bytes, so whatever no cell covers stays
// fully transparent. Sizes the header's 32-bit biSizeImage cannot hold are
// treated like any other block too large to allocate.
SpiResult AllocatePxTilePicture(int32_t width, int32_t height, DibOutput* out);

// One frame of the picture inside the bottom-up bits block: `height` rows
// from `band`, the frame's top row being the last of them. Positions count
// from the frame's top-left corner; whatever falls right of the frame or
// below its last row is not drawn.
class PxFrame {
 public:
  PxFrame(uint8_t* band, size_t width, size_t height)
      : band_(band), width_(width), height_(height), stride_(width * kPxPixelBytes) {}

  // Gives `columns` × `rows` pixels from (x, y) one colour.
  void Fill(uint64_t x, uint64_t y, uint64_t columns, uint64_t rows, const uint8_t* colour) const;

  // Copies `columns` × `rows` pixels to (x, y) from source rows that start
  // `pitch` bytes apart.
  void Copy(uint64_t x, uint64_t y, uint64_t columns, uint64_t rows, const uint8_t* pixels, size_t pitch) const;

 private:
  // Shrinks a block at (x, y) to the part inside the frame; false when none is.
  bool Clip(uint64_t x, uint64_t y, uint64_t* columns, uint64_t* rows) const;
  uint8_t* At(uint64_t x, uint64_t y) const;

  uint8_t* band_;
  size_t width_;
  size_t height_;
  size_t stride_;
};

// Reads map entry `index` of a map whose bytes were checked to be present.
inline int16_t PxMapEntry(const uint8_t* map, size_t index) { return static_cast<int16_t>(Le16(map + 2 * index)); }

// Walks one frame's map entries, tile row after tile row from the top and
// each row from the left. Tile row r starts at the left edge, r × tileSize
// pixel rows below the frame's top; `drawCell(entry, x, y)` draws one cell
// and returns how far right the next cell of the row starts.
template <class DrawCell>
void DrawFrameCells(const uint8_t* map, const PxTileGrid& grid, uint64_t tileSize, DrawCell drawCell) {
  // A grid without columns has no cells, however many rows it claims; the
  // walk must not cost time for them.
  if (grid.columns == 0) return;
  size_t index = 0;
  for (uint64_t row = 0; row < grid.rows; ++row) {
    uint64_t x = 0;
    for (size_t column = 0; column < grid.columns; ++column) x += drawCell(PxMapEntry(map, index++), x, row * tileSize);
  }
}
