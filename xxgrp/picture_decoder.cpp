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
  if (width_ == 0 || height_ == 0) return SpiResult::UnsupportedFormat;
  // The viewer refuses a picture whose 32-bit form passes its size cap, so
  // such a picture is refused here, before a row is decoded; the cap also
  // keeps every size below within the header's signed 32-bit fields.
  size_t thirtyTwoBitBytes;
  if (!DibPictureBytes(width_, height_, 32, &thirtyTwoBitBytes)) return SpiResult::OutOfMemory;
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

// Output rows: 24 or 32 bits per pixel, padded to 4 bytes. The source frame
// passed the size cap, so every size here is within it.
struct OutputLayout {
  uint32_t width;
  uint32_t height;
  int bitCount;
  size_t rowBytes;
  size_t totalBytes;
};

bool MakeLayout(uint32_t width, uint32_t height, int bitCount, OutputLayout* layout) {
  *layout = OutputLayout{width, height, bitCount, 0, 0};
  return DibRowBytes(width, bitCount, &layout->rowBytes) &&
         DibPictureBytes(width, height, bitCount, &layout->totalBytes);
}

void StoreRow(const uint8_t* bgra, const OutputLayout& layout, uint8_t* row) {
  if (layout.bitCount == 32) {
    std::memcpy(row, bgra, layout.rowBytes);
    return;
  }
  for (size_t x = 0; x < layout.width; ++x) std::memcpy(row + x * 3, bgra + x * 4, 3);
}

// Converts to straight-alpha BGRA (the one format every source converts to)
// and stores the rows bottom-up, asking the host after every row.
SpiResult CopyRows(IWICBitmapSource* bgra, const OutputLayout& layout, uint8_t* bits, const Progress& progress) {
  HeapBuffer line;
  size_t lineBytes;  // 32-bit rows need no padding; within the cap, so a UINT holds it
  if (!DibRowBytes(layout.width, 32, &lineBytes) || !line.Allocate(lineBytes)) return SpiResult::OutOfMemory;
  for (uint32_t y = 0; y < layout.height; ++y) {
    const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(layout.width), 1};
    const HRESULT result =
        bgra->CopyPixels(&rect, static_cast<UINT>(lineBytes), static_cast<UINT>(lineBytes), line.data());
    if (FAILED(result)) return Failure(result, SpiResult::BrokenData);
    StoreRow(line.data(), layout, bits + size_t{layout.height - 1 - y} * layout.rowBytes);
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
