#include "xxgrp/picture_decoder.h"

#include <wincodec.h>

#include <cstring>
#include <limits>

#include "xxgrp/com.h"
#include "xxgrp/wic_factory.h"

namespace {

SpiResult Failure(HRESULT result, SpiResult otherwise) {
  return result == E_OUTOFMEMORY ? SpiResult::OutOfMemory : otherwise;
}

// The first frame of a picture held in memory, with everything needed to
// read it; members go away in reverse order, COM last.
class SourceFrame {
 public:
  SpiResult Open(ByteSpan file);
  IWICImagingFactory* factory() const { return factory_.get(); }
  IWICBitmapFrameDecode* frame() const { return frame_.get(); }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

 private:
  ComScope com_;
  ComRef<IWICImagingFactory> factory_;
  ComRef<IWICStream> stream_;
  ComRef<IWICBitmapDecoder> decoder_;
  ComRef<IWICBitmapFrameDecode> frame_;
  UINT width_ = 0;
  UINT height_ = 0;
};

SpiResult SourceFrame::Open(ByteSpan file) {
  // Without COM or the imaging component no decoder can be made.
  if (!com_.Ready()) return SpiResult::UnsupportedFormat;
  HRESULT result = CreateWicFactory(factory_.Receive());
  if (FAILED(result)) return Failure(result, SpiResult::UnsupportedFormat);
  // A memory stream is at most 4 GiB long.
  if (file.size > std::numeric_limits<DWORD>::max()) return SpiResult::UnsupportedFormat;
  result = factory_->CreateStream(stream_.Receive());
  if (SUCCEEDED(result))
    result = stream_->InitializeFromMemory(const_cast<BYTE*>(file.data), static_cast<DWORD>(file.size));
  if (FAILED(result)) return Failure(result, SpiResult::OutOfMemory);
  result =
      factory_->CreateDecoderFromStream(stream_.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder_.Receive());
  if (FAILED(result)) return Failure(result, SpiResult::UnsupportedFormat);
  result = decoder_->GetFrame(0, frame_.Receive());
  if (SUCCEEDED(result)) result = frame_->GetSize(&width_, &height_);
  if (FAILED(result)) return Failure(result, SpiResult::BrokenData);
  // The bitmap header holds signed 32-bit sizes.
  const UINT largest = std::numeric_limits<int32_t>::max();
  if (width_ == 0 || height_ == 0 || width_ > largest || height_ > largest) return SpiResult::UnsupportedFormat;
  return SpiResult::Ok;
}

// What the imaging component says about the frame's pixel format; empty
// when it knows nothing.
void FrameFormatInfo(const SourceFrame& source, ComRef<IWICPixelFormatInfo2>* info) {
  WICPixelFormatGUID format;
  ComRef<IWICComponentInfo> component;
  if (FAILED(source.frame()->GetPixelFormat(&format)) ||
      FAILED(source.factory()->CreateComponentInfo(format, component.Receive())))
    return;
  component->QueryInterface(IID_IWICPixelFormatInfo2, reinterpret_cast<void**>(info->Receive()));
}

// An indexed picture has alpha when its palette has (a GIF's transparent
// colour, a PNG palette with transparency).
bool PaletteHasAlpha(const SourceFrame& source) {
  ComRef<IWICPalette> palette;
  BOOL hasAlpha = FALSE;
  if (FAILED(source.factory()->CreatePalette(palette.Receive()))) return false;
  if (FAILED(source.frame()->CopyPalette(palette.get()))) return false;
  return SUCCEEDED(palette->HasAlpha(&hasAlpha)) && hasAlpha;
}

// Indexed formats go by their palette alone: not every system says that
// they support transparency (Wine says they do not).
bool SourceHasAlpha(const SourceFrame& source) {
  ComRef<IWICPixelFormatInfo2> info;
  FrameFormatInfo(source, &info);
  if (!info.get()) return false;
  WICPixelFormatNumericRepresentation representation = WICPixelFormatNumericRepresentationUnspecified;
  if (SUCCEEDED(info->GetNumericRepresentation(&representation)) &&
      representation == WICPixelFormatNumericRepresentationIndexed)
    return PaletteHasAlpha(source);
  BOOL transparency = FALSE;
  return SUCCEEDED(info->SupportsTransparency(&transparency)) && transparency;
}

int SourceBitsPerPixel(const SourceFrame& source) {
  ComRef<IWICPixelFormatInfo2> info;
  FrameFormatInfo(source, &info);
  UINT bits = 0;
  if (!info.get() || FAILED(info->GetBitsPerPixel(&bits))) return 0;
  return static_cast<int>(bits);
}

// Output rows: 24 or 32 bits per pixel, padded to 4 bytes.
struct OutputLayout {
  uint32_t width;
  uint32_t height;
  int bitCount;
  size_t rowBytes;
  size_t totalBytes;
};

// False when the rows would not fit in the 32-bit size fields of the bitmap
// header or in memory.
bool MakeLayout(uint32_t width, uint32_t height, int bitCount, OutputLayout* layout) {
  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
  const uint64_t totalBytes = rowBytes * height;
  if (totalBytes > std::numeric_limits<uint32_t>::max() || totalBytes > std::numeric_limits<size_t>::max())
    return false;
  *layout = OutputLayout{width, height, bitCount, static_cast<size_t>(rowBytes), static_cast<size_t>(totalBytes)};
  return true;
}

void StoreRow(const uint8_t* bgra, const OutputLayout& layout, uint8_t* row) {
  if (layout.bitCount == 32) {
    std::memcpy(row, bgra, static_cast<size_t>(layout.width) * 4);
    return;
  }
  for (uint32_t x = 0; x < layout.width; ++x) std::memcpy(row + x * 3, bgra + x * 4, 3);
}

// Converts to straight-alpha BGRA (the one format every source converts to)
// and stores the rows bottom-up, asking the host after every row.
SpiResult CopyRows(IWICBitmapSource* bgra, const OutputLayout& layout, uint8_t* bits, const Progress& progress) {
  HeapBuffer line;
  const size_t lineBytes = static_cast<size_t>(layout.width) * 4;
  if (!line.Allocate(lineBytes)) return SpiResult::OutOfMemory;
  for (uint32_t y = 0; y < layout.height; ++y) {
    const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(layout.width), 1};
    const HRESULT result =
        bgra->CopyPixels(&rect, static_cast<UINT>(lineBytes), static_cast<UINT>(lineBytes), line.data());
    if (FAILED(result)) return Failure(result, SpiResult::BrokenData);
    StoreRow(line.data(), layout, bits + (layout.height - 1 - y) * layout.rowBytes);
    if (progress.Stop(static_cast<int>(y + 1), static_cast<int>(layout.height))) return SpiResult::Aborted;
  }
  return SpiResult::Ok;
}

SpiResult Convert(const SourceFrame& source, ComRef<IWICFormatConverter>* converter) {
  HRESULT result = source.factory()->CreateFormatConverter(converter->Receive());
  if (SUCCEEDED(result))
    result = (*converter)
                 ->Initialize(source.frame(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom);
  return FAILED(result) ? Failure(result, SpiResult::UnsupportedFormat) : SpiResult::Ok;
}

}  // namespace

SpiResult ReadPictureInfo(ByteSpan file, PictureInfo* info) {
  SourceFrame source;
  const SpiResult opened = source.Open(file);
  if (opened != SpiResult::Ok) return opened;
  *info = MakePictureInfo(static_cast<int32_t>(source.width()), static_cast<int32_t>(source.height()),
                          SourceBitsPerPixel(source));
  return SpiResult::Ok;
}

SpiResult DecodePicture(ByteSpan file, DecodeTarget target, const Progress& progress) {
  SourceFrame source;
  SpiResult result = source.Open(file);
  if (result != SpiResult::Ok) return result;
  OutputLayout layout;
  if (!MakeLayout(source.width(), source.height(), SourceHasAlpha(source) ? 32 : 24, &layout))
    return SpiResult::OutOfMemory;
  ComRef<IWICFormatConverter> converter;
  result = Convert(source, &converter);
  if (result != SpiResult::Ok) return result;
  const int height = static_cast<int>(layout.height);
  if (progress.Stop(0, height)) return SpiResult::Aborted;
  DibOutput output;
  if (!output.AllocateInfo(kBitmapInfoHeaderSize) || !output.AllocateBits(layout.totalBytes))
    return SpiResult::OutOfMemory;
  WriteDibHeader(output.info(),
                 DibHeader{static_cast<int32_t>(layout.width), height, static_cast<uint16_t>(layout.bitCount),
                           static_cast<uint32_t>(layout.totalBytes), 0});
  result = CopyRows(converter.get(), layout, output.bits(), progress);
  if (result != SpiResult::Ok) return result;
  return output.HandOver(target.infoHandle, target.bitsHandle);
}
