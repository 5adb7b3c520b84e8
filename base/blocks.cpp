#include "base/blocks.h"

#include <cstring>

#include "platform/platform.h"

namespace {

void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

OutputBlock::~OutputBlock() {
  if (!handle_) return;
  if (data_) platform::UnlockMovable(handle_);
  platform::FreeMovable(handle_);
}

bool OutputBlock::Allocate(size_t size, bool zeroFill) {
  handle_ = platform::AllocMovable(size, zeroFill);
  if (!handle_) return false;
  data_ = platform::LockMovable(handle_);
  if (!data_) {
    platform::FreeMovable(handle_);
    handle_ = nullptr;
    return false;
  }
  size_ = size;
  return true;
}

SpiHandle OutputBlock::Release() {
  SpiHandle handle = handle_;
  platform::UnlockMovable(handle_);
  handle_ = nullptr;
  data_ = nullptr;
  return handle;
}

void WriteDibHeader(uint8_t* info, const DibHeader& header) {
  std::memset(info, 0, kBitmapInfoHeaderSize);
  PutLe32(info + 0, kBitmapInfoHeaderSize);
  PutLe32(info + 4, static_cast<uint32_t>(header.width));
  PutLe32(info + 8, static_cast<uint32_t>(header.height));
  PutLe16(info + 12, 1);
  PutLe16(info + 14, header.bitCount);
  PutLe32(info + 20, header.sizeImage);
  PutLe32(info + 32, header.clrUsed);
}

SpiResult DibOutput::HandOver(SpiHandle* infoHandle, SpiHandle* bitsHandle) {
  SpiHandle info = info_.Release();
  SpiHandle bits = bits_.Release();
  *infoHandle = info;
  *bitsHandle = bits;
  return SpiResult::Ok;
}

HeapBuffer::~HeapBuffer() { platform::HeapRelease(data_); }

bool HeapBuffer::Allocate(size_t size) {
  auto* buffer = static_cast<uint8_t*>(platform::HeapAllocate(size));
  if (!buffer) return false;
  platform::HeapRelease(data_);
  data_ = buffer;
  size_ = size;
  return true;
}
