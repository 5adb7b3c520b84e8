// Native stand-in for the Windows services, with the test controls of
// test_hooks.h. A movable block is a small record in front of its bytes.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/test_hooks.h"

namespace {

std::atomic<int> failAt{0};
std::atomic<int> allocationCount{0};
std::atomic<int> liveCount{0};
std::atomic<size_t> allocationLimit{SIZE_MAX};

struct MovableRecord {
  size_t size;
  int locks;
  alignas(16) uint8_t bytes[1];
};

bool NextAllocationFails(size_t size) {
  int number = ++allocationCount;
  return number == failAt.load() || size > allocationLimit.load();
}

MovableRecord* RecordOf(SpiHandle block) { return static_cast<MovableRecord*>(block); }

}  // namespace

namespace platform {

SpiHandle AllocMovable(size_t size, bool zeroFill) {
  if (NextAllocationFails(size) || size > SIZE_MAX - sizeof(MovableRecord)) return nullptr;
  void* memory = zeroFill ? std::calloc(1, sizeof(MovableRecord) + size)
                          : std::malloc(sizeof(MovableRecord) + size);
  if (!memory) return nullptr;
  auto* record = static_cast<MovableRecord*>(memory);
  record->size = size;
  record->locks = 0;
  ++liveCount;
  return record;
}

// As with LocalAlloc, a block of size 0 exists but cannot be locked.
uint8_t* LockMovable(SpiHandle block) {
  MovableRecord* record = RecordOf(block);
  if (record->size == 0) return nullptr;
  ++record->locks;
  return record->bytes;
}

void UnlockMovable(SpiHandle block) {
  MovableRecord* record = RecordOf(block);
  if (record->locks > 0) --record->locks;
}

void FreeMovable(SpiHandle block) {
  if (!block) return;
  --liveCount;
  std::free(block);
}

size_t MovableSize(SpiHandle block) { return RecordOf(block)->size; }

void* HeapAllocate(size_t size) {
  if (NextAllocationFails(size)) return nullptr;
  void* buffer = std::malloc(size ? size : 1);
  if (buffer) ++liveCount;
  return buffer;
}

void HeapRelease(void* buffer) {
  if (!buffer) return;
  --liveCount;
  std::free(buffer);
}

ReadOnlyFile::ReadOnlyFile(const char* path) : handle_(path ? open(path, O_RDONLY) : -1) {}

ReadOnlyFile::~ReadOnlyFile() {
  if (view_) munmap(const_cast<void*>(view_), viewSize_);
  if (IsOpen()) close(static_cast<int>(handle_));
}

bool ReadOnlyFile::IsOpen() const { return handle_ >= 0; }

int64_t ReadOnlyFile::Size() const {
  struct stat status;
  if (fstat(static_cast<int>(handle_), &status) != 0) return -1;
  return status.st_size;
}

bool ReadOnlyFile::ReadAt(int64_t offset, uint8_t* buffer, size_t size, size_t* bytesRead) const {
  ssize_t got = pread(static_cast<int>(handle_), buffer, size, offset);
  if (got < 0) return false;
  *bytesRead = static_cast<size_t>(got);
  return true;
}

const uint8_t* ReadOnlyFile::MapWhole() {
  int64_t size = Size();
  if (size <= 0) return nullptr;
  void* view = mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, static_cast<int>(handle_), 0);
  if (view == MAP_FAILED) return nullptr;
  view_ = view;
  viewSize_ = static_cast<size_t>(size);
  return static_cast<const uint8_t*>(view_);
}

// Natively the host's "handle" is a file descriptor.
bool ReadFromHostHandle(const void* handle, uint8_t* buffer, size_t size) {
  return read(static_cast<int>(reinterpret_cast<intptr_t>(handle)), buffer, size) >= 0;
}

namespace test {

void FailAllocationNumber(int n) {
  failAt = n;
  allocationCount = 0;
}

int AllocationsSoFar() { return allocationCount; }

int LiveAllocations() { return liveCount; }

int LockCount(SpiHandle block) { return RecordOf(block)->locks; }

void SetAllocationLimit(size_t bytes) { allocationLimit = bytes; }

}  // namespace test
}  // namespace platform
