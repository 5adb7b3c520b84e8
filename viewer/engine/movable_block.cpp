#include "viewer/engine/movable_block.h"

#include "platform/platform.h"

MovableBlock& MovableBlock::operator=(MovableBlock&& other) noexcept {
  if (this == &other) return *this;
  Free();
  handle_ = other.handle_;
  data_ = other.data_;
  other.handle_ = nullptr;
  other.data_ = nullptr;
  return *this;
}

void MovableBlock::AdoptLocked(SpiHandle handle, uint8_t* data) {
  Free();
  handle_ = handle;
  data_ = data;
}

bool MovableBlock::Allocate(size_t size) {
  SpiHandle handle = platform::AllocMovable(size, false);
  if (!handle) return false;
  uint8_t* data = platform::LockMovable(handle);
  if (!data) {
    platform::FreeMovable(handle);
    return false;
  }
  AdoptLocked(handle, data);
  return true;
}

void MovableBlock::Free() {
  if (!handle_) return;
  platform::UnlockMovable(handle_);
  platform::FreeMovable(handle_);
  handle_ = nullptr;
  data_ = nullptr;
}
