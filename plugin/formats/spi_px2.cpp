#include "plugin/formats/spi_px2.h"

#include "plugin/formats/px_header.h"
#include "plugin/formats/px_runs.h"

namespace {

constexpr int kStages = 1;
constexpr uint16_t kAlphaDepth = 32;

}  // namespace

SpiResult SpiPX2::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const PxHeader h = PxHeader::Read(data.data);
  *info = MakePictureInfo(h.width, h.height, h.depth);
  return SpiResult::Ok;
}

SpiResult SpiPX2::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const PxHeader h = PxHeader::Read(data.data);
  // A negative size describes no picture.
  if (h.width < 0 || h.height < 0) return SpiResult::UnsupportedFormat;
  const size_t pixelBytes = h.depth / 8;
  // A list that runs past the data is refused before anything is planned
  // or allocated, alike whatever size the header claims.
  ByteReader runs(data, PxHeader::kSize);
  if (!RunListEnds(runs, pixelBytes)) return SpiResult::UnsupportedFormat;
  size_t stride, imageSize;
  if (!PlanBits(static_cast<uint32_t>(h.width), static_cast<uint32_t>(h.height), pixelBytes, &stride, &imageSize))
    return SpiResult::OutOfMemory;

  DibOutput out;
  if (!out.AllocateInfo(kBitmapInfoHeaderSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = h.width;
  header.height = h.height;
  header.bitCount = static_cast<uint16_t>(8 * pixelBytes);
  header.sizeImage = static_cast<uint32_t>(imageSize);
  WriteDibHeader(out.info(), header);
  if (!out.AllocateBits(imageSize)) return SpiResult::OutOfMemory;

  // The runs are drawn straight into the bits block; runs that leave the
  // picture are clipped.
  const PxPicture picture{out.bits(), stride, pixelBytes, h.width, h.height};
  RunCanvas canvas(picture, 0, 0, static_cast<uint32_t>(h.width), static_cast<uint32_t>(h.height));
  DrawRunList(runs, canvas, h.depth == kAlphaDepth);  // its end was checked above
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
