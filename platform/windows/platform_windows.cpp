// Windows: the real LocalAlloc blocks, process heap and file mapping.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

SpiHandle AllocMovable(size_t size, bool zeroFill) {
  return LocalAlloc(zeroFill ? LHND : LMEM_MOVEABLE, size);
}

uint8_t* LockMovable(SpiHandle block) { return static_cast<uint8_t*>(LocalLock(block)); }

void UnlockMovable(SpiHandle block) { LocalUnlock(block); }

void FreeMovable(SpiHandle block) { LocalFree(block); }

size_t MovableSize(SpiHandle block) { return LocalSize(block); }

void* HeapAllocate(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void HeapRelease(void* buffer) {
  if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
}

ReadOnlyFile::ReadOnlyFile(const char* path)
    : handle_(reinterpret_cast<intptr_t>(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, 0, nullptr))) {}

ReadOnlyFile::~ReadOnlyFile() {
  if (view_) UnmapViewOfFile(view_);
  if (IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ReadOnlyFile::IsOpen() const { return reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE; }

int64_t ReadOnlyFile::Size() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size)) return -1;
  return size.QuadPart;
}

bool ReadOnlyFile::ReadAt(int64_t offset, uint8_t* buffer, size_t size, size_t* bytesRead) const {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  LARGE_INTEGER position;
  position.QuadPart = offset;
  DWORD got = 0;
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return false;
  if (!ReadFile(file, buffer, static_cast<DWORD>(size), &got, nullptr)) return false;
  *bytesRead = got;
  return true;
}

const uint8_t* ReadOnlyFile::MapWhole() {
  HANDLE mapping = CreateFileMappingA(reinterpret_cast<HANDLE>(handle_), nullptr, PAGE_READONLY, 0, 0,
                                      nullptr);
  if (!mapping) return nullptr;
  view_ = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  CloseHandle(mapping);  // the view keeps the mapping alive
  return static_cast<const uint8_t*>(view_);
}

bool ReadFromHostHandle(const void* handle, uint8_t* buffer, size_t size) {
  DWORD got = 0;
  return ReadFile(const_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &got, nullptr) != 0;
}

}  // namespace platform
