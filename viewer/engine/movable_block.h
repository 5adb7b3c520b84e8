// One block of movable memory, held locked for as long as it is held: the
// pixel rows of one of the document's pictures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/susie_abi.h"

class MovableBlock {
 public:
  MovableBlock() = default;
  ~MovableBlock() { Free(); }
  MovableBlock(MovableBlock&& other) noexcept { *this = static_cast<MovableBlock&&>(other); }
  MovableBlock& operator=(MovableBlock&& other) noexcept;
  MovableBlock(const MovableBlock&) = delete;
  MovableBlock& operator=(const MovableBlock&) = delete;

  // Frees the block held so far and holds `handle`, which the caller has
  // locked once, at `data`; that lock is the block's from now on.
  void AdoptLocked(SpiHandle handle, uint8_t* data);
  // A new block of `size` bytes, locked, in place of the one held; false,
  // with the old block kept, when it cannot be had.
  bool Allocate(size_t size);
  // Unlocks and frees the block; nothing is held afterwards.
  void Free();

  bool Holds() const { return handle_ != nullptr; }
  uint8_t* data() const { return data_; }

 private:
  SpiHandle handle_ = nullptr;
  uint8_t* data_ = nullptr;
};
