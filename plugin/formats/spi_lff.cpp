#include "plugin/formats/spi_lff.h"

#include "plugin/formats/packed_stream.h"

namespace {

constexpr int kStages = 2;
constexpr size_t kHeaderSize = 20;

struct LffHeader {
  uint16_t width;
  uint16_t height;

  // `p` must hold kHeaderSize bytes.
  static LffHeader Read(const uint8_t* p) { return LffHeader{Le16(p + 12), Le16(p + 14)}; }
};

}  // namespace

SpiResult SpiLff::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kHeaderSize)) return SpiResult::UnsupportedFormat;
  const LffHeader h = LffHeader::Read(data.data);
  *info = MakePictureInfo(h.width, h.height, 24);
  return SpiResult::Ok;
}

SpiResult SpiLff::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kHeaderSize)) return SpiResult::UnsupportedFormat;
  const LffHeader h = LffHeader::Read(data.data);
  const ByteSpan stream = data.From(kHeaderSize);
  // A stream that cannot fill the picture is refused before its size is
  // taken as a size_t, alike in 32-bit and 64-bit processes.
  size_t stride, imageSize;
  uint64_t expanded;
  if (!AlignRow(size_t{3} * h.width, &stride) || !MulCount(stride, h.height, &expanded) ||
      !StreamCanYield(stream, expanded))
    return SpiResult::UnsupportedFormat;
  if (!ToSize(expanded, &imageSize)) return SpiResult::OutOfMemory;

  // The expansion writes every byte of the block, so it needs no zero-fill;
  // a stream that ends early would leave bytes unwritten and is refused.
  DibOutput out;
  if (!out.AllocateBits(imageSize, false)) return SpiResult::OutOfMemory;
  if (!ExpandStream(out.bits(), stream, imageSize)) return SpiResult::UnsupportedFormat;
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;

  if (!out.AllocateInfo(kBitmapInfoHeaderSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = h.width;
  header.height = h.height;
  header.bitCount = 24;
  WriteDibHeader(out.info(), header);
  if (progress.Stop(2, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
