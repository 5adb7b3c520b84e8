// The few operating-system services the plug-in needs: movable memory
// blocks for the returned bitmap, the process heap for working buffers, and
// reading or mapping a file. On Windows these are LocalAlloc, HeapAlloc and
// file mapping; the native build stands in for them so that the exports run
// and are tested on Linux too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/susie_abi.h"

namespace platform {

// Movable memory (LocalAlloc with LMEM_MOVEABLE). Null on failure.
SpiHandle AllocMovable(size_t size, bool zeroFill);
uint8_t* LockMovable(SpiHandle block);
void UnlockMovable(SpiHandle block);
void FreeMovable(SpiHandle block);
size_t MovableSize(SpiHandle block);

// Working buffers from the process heap. Null on failure.
void* HeapAllocate(size_t size);
void HeapRelease(void* buffer);

// A file opened for reading, closed (and unmapped) when it goes away.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const char* path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool IsOpen() const;
  // The file's size, or -1 when it cannot be taken.
  int64_t Size() const;
  // Reads up to `size` bytes from `offset`; false only when reading fails.
  bool ReadAt(int64_t offset, uint8_t* buffer, size_t size, size_t* bytesRead) const;
  // Maps the whole file read-only; null when no view can be had.
  const uint8_t* MapWhole();

 private:
  intptr_t handle_;
  const void* view_ = nullptr;
  size_t viewSize_ = 0;
};

// Reads from the current position of a file handle the host opened (the
// file-handle form of IsSupported). False when reading fails.
bool ReadFromHostHandle(const void* handle, uint8_t* buffer, size_t size);

}  // namespace platform
