// The four Susie exports. They keep no state: each call detects the format,
// lets one decoder object do the work and releases it before returning.
#include <cstring>

#include "base/plugin_info.h"
#include "platform/platform.h"
#include "plugin/framework/detect.h"

namespace {

constexpr size_t kHeaderBytes = 2048;

const char* const kPluginInfo[] = {
    "00IN",
    "Mornel: Leaf image formats\nCopyright (C) 2026 the Mornel developers",
    "*.px;*.lfb;*.lff;*.lcf;*.lgf;*.cz1;*.cz2;*.tga;*.bbm",
    "Leaf image files",
};

int Code(SpiResult result) { return static_cast<int>(result); }

// A memory image of negative length has no bytes to decode.
bool MemorySpan(const char* buffer, SpiLongPtr length, ByteSpan* data) {
  if (length < 0) return false;
  *data = ByteSpan{reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(length)};
  return true;
}

SpiResult InfoOf(const char* fileName, ByteSpan data, PictureInfo* info) {
  DecoderPtr decoder;
  CreateDecoder(fileName, data, &decoder);
  if (!decoder) return SpiResult::UnsupportedFormat;
  return decoder->GetInfo(data, info);
}

SpiResult PictureOf(const char* fileName, ByteSpan data, DecodeTarget target, const Progress& progress) {
  DecoderPtr decoder;
  CreateDecoder(fileName, data, &decoder);
  if (!decoder) return SpiResult::UnsupportedFormat;
  return decoder->Decode(data, target, progress);
}

}  // namespace

SPI_EXPORT int SPI_CALL GetPluginInfo(int infoNo, char* buffer, int bufferLength) {
  return CopyPluginInfo(kPluginInfo, infoNo, buffer, bufferLength);
}

SPI_EXPORT int SPI_CALL IsSupported(const char* fileName, const void* source) {
  // A value with nothing above its low 16 bits is a file handle, anything
  // else the address of the image's first bytes.
  if ((reinterpret_cast<uintptr_t>(source) & ~static_cast<uintptr_t>(0xFFFF)) != 0) {
    return CreateDecoder(fileName, ByteSpan{static_cast<const uint8_t*>(source), kDetectionBytes}, nullptr);
  }
  uint8_t header[kHeaderBytes] = {};
  if (!platform::ReadFromHostHandle(source, header, sizeof header)) return 0;
  return CreateDecoder(fileName, ByteSpan{header, sizeof header}, nullptr);
}

SPI_EXPORT int SPI_CALL GetPictureInfo(const char* buffer, SpiLongPtr length, unsigned int flag, PictureInfo* info) {
  ByteSpan data;
  if (flag & 1) {
    if (!MemorySpan(buffer, length, &data)) return Code(SpiResult::UnsupportedFormat);
    return Code(InfoOf(nullptr, data, info));
  }
  uint8_t header[kHeaderBytes] = {};
  size_t bytesRead = 0;
  {
    platform::ReadOnlyFile file(buffer);
    if (!file.IsOpen() || !file.ReadAt(length, header, sizeof header, &bytesRead))
      return Code(SpiResult::FileReadError);
  }
  return Code(InfoOf(buffer, ByteSpan{header, bytesRead}, info));
}

SPI_EXPORT int SPI_CALL GetPicture(const char* buffer, SpiLongPtr length, unsigned int flag, SpiHandle* infoHandle,
                                   SpiHandle* bitsHandle, ProgressCallback callback, SpiLongPtr userData) {
  const DecodeTarget target{infoHandle, bitsHandle};
  const Progress progress(callback, userData);
  ByteSpan data;
  if (flag & 1) {
    if (!MemorySpan(buffer, length, &data)) return Code(SpiResult::UnsupportedFormat);
    return Code(PictureOf(nullptr, data, target, progress));
  }
  platform::ReadOnlyFile file(buffer);
  if (!file.IsOpen()) return Code(SpiResult::FileReadError);
  const int64_t size = file.Size();
  // A negative offset would start the image before the file.
  if (length < 0 || size <= static_cast<int64_t>(length)) return Code(SpiResult::UnsupportedFormat);
  const uint8_t* view = file.MapWhole();
  if (!view) return Code(SpiResult::MemoryError);
  data = ByteSpan{view + length, static_cast<size_t>(size - length)};
  return Code(PictureOf(buffer, data, target, progress));
}
