// The four Susie exports of xxgrp.dll: an image-input plug-in for every
// picture format the Windows Imaging Component reads. They keep no state;
// each call opens the picture, decodes it and releases everything.
#include <cstring>

#include "base/plugin_info.h"
#include "base/susie_abi.h"
#include "platform/platform.h"
#include "xxgrp/picture_decoder.h"
#include "xxgrp/signature.h"

namespace {

constexpr size_t kHeaderBytes = 2048;

// The type, a description, then one pattern/name pair per format.
const char* const kPluginInfo[] = {
    "00IN",
    "xxgrp: pictures through the Windows Imaging Component\nCopyright (C) 2026 the xxgrp developers",
    "*.bmp;*.dib",
    "Windows bitmap",
    "*.png",
    "PNG",
    "*.jpg;*.jpeg;*.jpe;*.jfif",
    "JPEG",
    "*.gif",
    "GIF",
    "*.tif;*.tiff",
    "TIFF",
    "*.ico",
    "Icon",
};

int Code(SpiResult result) { return static_cast<int>(result); }

// A memory image of negative length has no bytes to decode.
bool MemorySpan(const char* buffer, SpiLongPtr length, ByteSpan* data) {
  if (!buffer || length < 0) return false;
  *data = ByteSpan{reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(length)};
  return true;
}

// The bytes from `offset` to the end of a mapped file; 2 when the file ends first.
SpiResult FileSpan(platform::ReadOnlyFile* file, SpiLongPtr offset, ByteSpan* data) {
  if (!file->IsOpen()) return SpiResult::FileReadError;
  const int64_t size = file->Size();
  if (offset < 0 || size <= static_cast<int64_t>(offset)) return SpiResult::UnsupportedFormat;
  if (static_cast<uint64_t>(size) > SIZE_MAX) return SpiResult::MemoryError;
  const uint8_t* view = file->MapWhole();
  if (!view) return SpiResult::MemoryError;
  *data = ByteSpan{view + offset, static_cast<size_t>(size - offset)};
  return SpiResult::Ok;
}

}  // namespace

SPI_EXPORT int SPI_CALL GetPluginInfo(int infoNo, char* buffer, int bufferLength) {
  return CopyPluginInfo(kPluginInfo, infoNo, buffer, bufferLength);
}

// The content alone decides; the file name is not looked at, since the
// imaging component does not go by extensions either.
SPI_EXPORT int SPI_CALL IsSupported(const char*, const void* source) {
  // A value with nothing above its low 16 bits is a file handle, anything
  // else the address of the host's 2,048-byte header.
  if ((reinterpret_cast<uintptr_t>(source) & ~static_cast<uintptr_t>(0xFFFF)) != 0)
    return HasKnownSignature(ByteSpan{static_cast<const uint8_t*>(source), kHeaderBytes});
  uint8_t header[kHeaderBytes] = {};
  if (!platform::ReadFromHostHandle(source, header, sizeof header)) return 0;
  return HasKnownSignature(ByteSpan{header, sizeof header});
}

// The file form maps the whole file: unlike the Leaf formats, a TIFF or a
// JPEG may keep what the size needs anywhere in the file.
SPI_EXPORT int SPI_CALL GetPictureInfo(const char* buffer, SpiLongPtr length, unsigned int flag, PictureInfo* info) {
  if (!info) return Code(SpiResult::MemoryError);
  ByteSpan data;
  if (flag & 1) {
    if (!MemorySpan(buffer, length, &data)) return Code(SpiResult::UnsupportedFormat);
    return Code(ReadPictureInfo(data, info));
  }
  platform::ReadOnlyFile file(buffer);
  const SpiResult mapped = FileSpan(&file, length, &data);
  if (mapped != SpiResult::Ok) return Code(mapped);
  return Code(ReadPictureInfo(data, info));
}

SPI_EXPORT int SPI_CALL GetPicture(const char* buffer, SpiLongPtr length, unsigned int flag, SpiHandle* infoHandle,
                                   SpiHandle* bitsHandle, ProgressCallback callback, SpiLongPtr userData) {
  if (!infoHandle || !bitsHandle) return Code(SpiResult::MemoryError);
  const DecodeTarget target{infoHandle, bitsHandle};
  const Progress progress(callback, userData);
  ByteSpan data;
  if (flag & 1) {
    if (!MemorySpan(buffer, length, &data)) return Code(SpiResult::UnsupportedFormat);
    return Code(DecodePicture(data, target, progress));
  }
  platform::ReadOnlyFile file(buffer);
  const SpiResult mapped = FileSpan(&file, length, &data);
  if (mapped != SpiResult::Ok) return Code(mapped);
  return Code(DecodePicture(data, target, progress));
}
