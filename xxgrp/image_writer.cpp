// The image writer that xxgrp.dll hands out through GetModuleInstance.
#include <wincodec.h>

#include <string>

#include "base/susie_abi.h"
#include "platform/windows/text.h"
#include "xxgrp/com.h"
#include "xxgrp/dib_rows.h"
#include "xxgrp/file_replace.h"
#include "xxgrp/image_writer_abi.h"
#include "xxgrp/picture_encoder.h"

namespace {

// The encoded file, held in memory until it is complete.
class EncodedFile {
 public:
  HRESULT Create() { return CreateStreamOnHGlobal(nullptr, TRUE, stream_.Receive()); }
  IStream* stream() const { return stream_.get(); }
  int32_t WriteTo(const std::wstring& path) const;

 private:
  ComRef<IStream> stream_;
};

int32_t EncodedFile::WriteTo(const std::wstring& path) const {
  STATSTG status;
  HGLOBAL memory = nullptr;
  if (FAILED(stream_->Stat(&status, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream_.get(), &memory)))
    return kWriterInternalError;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  if (!bytes) return kWriterInternalError;
  const int32_t result = ReplaceWithNewFile(path, bytes, static_cast<size_t>(status.cbSize.QuadPart));
  GlobalUnlock(memory);
  return result;
}

// The whole file is encoded before anything is written, so an encoder
// failure never touches the disk.
int32_t SavePicture(const GUID& container, const std::wstring& path, const void* header, const void* pixels) {
  if (!header || !pixels) return kWriterMemoryError;
  if (path.empty()) return kWriterWriteError;
  DibRows rows;
  if (!ReadDibRows(header, pixels, &rows)) return kWriterUnsupportedHeader;
  ComScope com;
  if (!com.Ready()) return kWriterInternalError;
  EncodedFile encoded;
  if (FAILED(encoded.Create())) return kWriterOutOfMemory;
  const int32_t result = EncodePicture(container, rows, encoded.stream());
  return result == kWriterOk ? encoded.WriteTo(path) : result;
}

std::wstring PathOf(const char* path) { return path ? platform::FromAnsi(path) : std::wstring(); }
std::wstring PathOf(const wchar_t* path) { return path ? std::wstring(path) : std::wstring(); }

enum class Format { Bmp, Png, Jpeg };

const GUID& ContainerOf(Format format) {
  switch (format) {
    case Format::Bmp:
      return GUID_ContainerFormatBmp;
    case Format::Png:
      return GUID_ContainerFormatPng;
    default:
      return GUID_ContainerFormatJpeg;
  }
}

// One entry of the table for each format and each kind of path. The option
// only says what the file is for (see ImageWriterOption); the object
// carries no state the operations need.
template <Format format, class Char>
int32_t XXGRP_CALL Save(ImageWriter*, const Char* path, int32_t, const void* header, const void* pixels) {
  return SavePicture(ContainerOf(format), PathOf(path), header, pixels);
}

// The wide saves follow the three in the table too, and the flags word
// says so, for viewers of the earlier release.
const ImageWriterWideTable kOperations = {
    {Save<Format::Bmp, char>, Save<Format::Png, char>, Save<Format::Jpeg, char>},
    {Save<Format::Bmp, wchar_t>, Save<Format::Png, wchar_t>, Save<Format::Jpeg, wchar_t>},
};

// One writer per process, never released; only its caller changes the flags.
ImageWriter writer = {&kOperations.ansi, kWriterFlagWidePaths};

}  // namespace

SPI_EXPORT ImageWriter* XXGRP_CALL GetModuleInstance(uint32_t) { return &writer; }

SPI_EXPORT const ImageWriterWideSaves* XXGRP_CALL GetImageWriterW(const ImageWriter* object) {
  return object == &writer ? &kOperations.wide : nullptr;
}
