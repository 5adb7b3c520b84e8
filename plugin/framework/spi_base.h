// The decoder base class and the pieces every decoder builds its result
// with: the progress callback, the two movable output blocks and the
// bitmap header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/framework/byte_span.h"
#include "plugin/framework/susie_abi.h"

// The host's progress callback and its user data. A null callback never
// asks to stop.
class Progress {
 public:
  Progress(ProgressCallback callback, SpiLongPtr userData) : callback_(callback), userData_(userData) {}
  // Reports stage `done` of `stages`; true when the host asks to stop.
  bool Stop(int done, int stages) const { return callback_ && callback_(done, stages, userData_) != 0; }

 private:
  ProgressCallback callback_;
  SpiLongPtr userData_;
};

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

// Where a decoder hands its result: the host's two handle arguments.
struct DecodeTarget {
  SpiHandle* infoHandle;
  SpiHandle* bitsHandle;
};

// A decoder of one format. Objects carry no data and live for one call.
class SpiBase {
 public:
  virtual ~SpiBase() = default;
  // Fills every field of `info` from the header; must work from the first
  // 2,048 bytes of the image alone.
  virtual SpiResult GetInfo(ByteSpan data, PictureInfo* info) = 0;
  // Decodes the whole image into two movable blocks, handed over on Ok only.
  virtual SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) = 0;
};

// A PictureInfo with the fields every decoder sets the same way.
PictureInfo MakePictureInfo(int32_t width, int32_t height, int colorDepth, int32_t left = 0, int32_t top = 0);
