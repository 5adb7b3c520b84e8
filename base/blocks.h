// The memory a decoded picture lives in: movable blocks handed over to a
// host (the bitmap information and the pixel rows), working buffers from
// the process heap, and the bitmap header every decoder writes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/sizes.h"
#include "base/susie_abi.h"

// One movable block, locked while it is filled and freed unless handed over.
class OutputBlock {
 public:
  OutputBlock() = default;
  ~OutputBlock();
  OutputBlock(const OutputBlock&) = delete;
  OutputBlock& operator=(const OutputBlock&) = delete;

  // Allocates and locks; false when either fails (nothing is kept then).
  bool Allocate(size_t size, bool zeroFill);
  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // Unlocks the block and gives up ownership of it.
  SpiHandle Release();

 private:
  SpiHandle handle_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

// The fields of a BITMAPINFOHEADER that decoders set; the rest stay zero.
struct DibHeader {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitCount = 0;
  uint32_t sizeImage = 0;
  uint32_t clrUsed = 0;
};
constexpr size_t kBitmapInfoHeaderSize = 40;
// Writes a BITMAPINFOHEADER (biSize 40, biPlanes 1, BI_RGB) at `info`.
void WriteDibHeader(uint8_t* info, const DibHeader& header);

// The info and bits blocks of a decoded picture.
class DibOutput {
 public:
  bool AllocateInfo(size_t size) { return info_.Allocate(size, true); }
  // False also for rows past the picture size cap (kMaxPictureBytes), which
  // every program here holds pictures to, so that a picture too big for
  // one is refused alike by all and in both widths.
  bool AllocateBits(size_t size, bool zeroFill = true) {
    return size <= kMaxPictureBytes && bits_.Allocate(size, zeroFill);
  }
  uint8_t* info() const { return info_.data(); }
  uint8_t* bits() const { return bits_.data(); }
  size_t bitsSize() const { return bits_.size(); }
  // Unlocks both blocks and stores the info handle, then the bits handle.
  SpiResult HandOver(SpiHandle* infoHandle, SpiHandle* bitsHandle);

 private:
  OutputBlock info_;
  OutputBlock bits_;
};

// A working buffer from the process heap, freed when it goes away.
class HeapBuffer {
 public:
  HeapBuffer() = default;
  ~HeapBuffer();
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  // Replaces the buffer with one of `size` bytes; false on failure, in
  // which case the old buffer is kept.
  bool Allocate(size_t size);
  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};
