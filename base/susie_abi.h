// The records and function types that cross the Susie plug-in boundary.
//
// Two ABIs live here. The 32-bit one is the classic Susie interface: every
// argument 32 bits wide and a PictureInfo of 26 bytes. The 64-bit one widens
// every argument that carries an address, a length, an offset or user data
// to pointer size, and PictureInfo gains two padding bytes so that hInfo
// sits at offset 24. Both keep 1-byte packing. The native (Linux) build uses
// the 64-bit layout, so the same exports can be tested there.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define SPI_CALL __stdcall
#else
#define SPI_CALL
#endif

#if defined(_WIN32)
#define SPI_EXPORT extern "C" __declspec(dllexport)
#else
#define SPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// LONG_PTR: 32 bits in the 32-bit ABI, 64 bits in the 64-bit one.
using SpiLongPtr = intptr_t;
// HLOCAL: an opaque handle to a movable memory block.
using SpiHandle = void*;

enum class SpiResult : int32_t {
  Ok = 0,
  Aborted = 1,
  UnsupportedFormat = 2,
  BrokenData = 3,
  OutOfMemory = 4,
  MemoryError = 5,
  FileReadError = 6,
  NotImplemented = -1,
};

using ProgressCallback = int(SPI_CALL*)(int numerator, int denominator, SpiLongPtr userData);

#pragma pack(push, 1)
struct PictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t xDensity;
  uint16_t yDensity;
  int16_t colorDepth;
#if UINTPTR_MAX > 0xFFFFFFFFu
  uint8_t padding[2];
#endif
  SpiHandle hInfo;
};
#pragma pack(pop)

#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(sizeof(PictureInfo) == 32, "64-bit PictureInfo is 32 bytes");
static_assert(offsetof(PictureInfo, hInfo) == 24, "64-bit hInfo sits at offset 24");
#else
static_assert(sizeof(PictureInfo) == 26, "32-bit PictureInfo is 26 bytes");
static_assert(offsetof(PictureInfo, hInfo) == 22, "32-bit hInfo sits at offset 22");
#endif
static_assert(offsetof(PictureInfo, colorDepth) == 20, "colorDepth sits at offset 20");

// The four exports, as a host sees them.
using GetPluginInfoFn = int(SPI_CALL*)(int infoNo, char* buffer, int bufferLength);
using IsSupportedFn = int(SPI_CALL*)(const char* fileName, const void* source);
using GetPictureInfoFn = int(SPI_CALL*)(const char* buffer, SpiLongPtr length, unsigned int flag,
                                        PictureInfo* info);
using GetPictureFn = int(SPI_CALL*)(const char* buffer, SpiLongPtr length, unsigned int flag,
                                    SpiHandle* infoHandle, SpiHandle* bitsHandle,
                                    ProgressCallback callback, SpiLongPtr userData);

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

// Where a decoder hands its result: the host's two handle arguments.
struct DecodeTarget {
  SpiHandle* infoHandle;
  SpiHandle* bitsHandle;
};

// A PictureInfo with the fields every decoder sets the same way.
inline PictureInfo MakePictureInfo(int32_t width, int32_t height, int colorDepth, int32_t left = 0, int32_t top = 0) {
  PictureInfo info{};
  info.left = left;
  info.top = top;
  info.width = width;
  info.height = height;
  info.colorDepth = static_cast<int16_t>(colorDepth);
  return info;
}
