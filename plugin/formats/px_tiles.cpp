#include "plugin/formats/px_tiles.h"

#include <algorithm>
#include <cstring>

bool PxTileRecords::Find(size_t number, PxTile* tile) const {
  const size_t offset = SaturatingAdd(first_, SaturatingMul(number, recordSize_));
  if (!data_.Has(offset, 2)) return false;
  const uint8_t* record = data_.data + offset;
  const size_t pixelBytes = size_t{record[0]} * record[1] * kPxPixelBytes;
  if (pixelBytes > recordSize_ - 2 || !data_.Has(offset + 2, pixelBytes)) return false;
  *tile = PxTile{record[0], record[1], record + 2};
  return true;
}

SpiResult AllocatePxTilePicture(int32_t width, int32_t height, DibOutput* out) {
  size_t stride, imageSize;
  if (!MulSize(static_cast<size_t>(width), kPxPixelBytes, &stride) ||
      !MulSize(stride, static_cast<size_t>(height), &imageSize) || imageSize > UINT32_MAX)
    return SpiResult::OutOfMemory;
  if (!out->AllocateInfo(kBitmapInfoHeaderSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = width;
  header.height = height;
  header.bitCount = kPxTileDepth;
  header.sizeImage = static_cast<uint32_t>(imageSize);
  WriteDibHeader(out->info(), header);
  if (!out->AllocateBits(imageSize)) return SpiResult::OutOfMemory;
  return SpiResult::Ok;
}

// Out of line, so that the row copies stay calls of the library's memcpy:
// inlined where a tile's width bounds the row length, the compiler turns
// them into a string instruction that is far slower on rows this short.
void PxFrame::Fill(uint64_t x, uint64_t y, uint64_t columns, uint64_t rows, const uint8_t* colour) const {
  if (!Clip(x, y, &columns, &rows)) return;
  uint8_t* first = At(x, y);
  for (uint64_t i = 0; i < columns; ++i) std::memcpy(first + i * kPxPixelBytes, colour, kPxPixelBytes);
  for (uint64_t i = 1; i < rows; ++i) std::memcpy(At(x, y + i), first, columns * kPxPixelBytes);
}

void PxFrame::Copy(uint64_t x, uint64_t y, uint64_t columns, uint64_t rows, const uint8_t* pixels, size_t pitch) const {
  if (!Clip(x, y, &columns, &rows)) return;
  for (uint64_t i = 0; i < rows; ++i) std::memcpy(At(x, y + i), pixels + i * pitch, columns * kPxPixelBytes);
}

bool PxFrame::Clip(uint64_t x, uint64_t y, uint64_t* columns, uint64_t* rows) const {
  if (x >= width_ || y >= height_) return false;
  *columns = std::min<uint64_t>(*columns, width_ - x);
  *rows = std::min<uint64_t>(*rows, height_ - y);
  return *columns != 0 && *rows != 0;
}

uint8_t* PxFrame::At(uint64_t x, uint64_t y) const {
  return band_ + static_cast<size_t>(height_ - 1 - y) * stride_ + static_cast<size_t>(x) * kPxPixelBytes;
}
