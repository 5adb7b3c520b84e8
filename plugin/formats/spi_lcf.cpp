#include "plugin/formats/spi_lcf.h"

#include "plugin/formats/packed_stream.h"

namespace {

constexpr int kStages = 2;
constexpr size_t kHeaderSize = 24;
constexpr uint16_t kDepthCode = 24;

struct LcfHeader {
  uint16_t xOffset;
  uint16_t yOffset;
  uint16_t width;
  uint16_t height;
  uint16_t depthCode;
  uint32_t unpackedSize;

  // `p` must hold kHeaderSize bytes.
  static LcfHeader Read(const uint8_t* p) {
    return LcfHeader{Le16(p + 8), Le16(p + 10), Le16(p + 12), Le16(p + 14), Le16(p + 16), Le32(p + 20)};
  }
};

// Walks the pixel records into 32-bit rows, bottom row first. A transparent
// pixel is a lone zero byte and stays all zero. Returns false when the
// records run out before the last pixel.
bool WalkRecords(ByteSpan records, size_t pixels, uint8_t* out) {
  ByteReader reader(records);
  for (size_t i = 0; i < pixels; ++i, out += 4) {
    uint8_t alpha;
    const uint8_t* colour;
    if (!reader.U8(&alpha)) return false;
    if (alpha == 0) continue;
    if (!reader.Take(3, &colour)) return false;
    out[0] = colour[0];
    out[1] = colour[1];
    out[2] = colour[2];
    out[3] = alpha;
  }
  return true;
}

}  // namespace

SpiResult SpiLcf::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kHeaderSize)) return SpiResult::UnsupportedFormat;
  const LcfHeader h = LcfHeader::Read(data.data);
  *info = MakePictureInfo(h.width, h.height, 32, h.xOffset, h.yOffset);
  return SpiResult::Ok;
}

SpiResult SpiLcf::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kHeaderSize)) return SpiResult::UnsupportedFormat;
  const LcfHeader h = LcfHeader::Read(data.data);
  if (h.depthCode != kDepthCode) return SpiResult::UnsupportedFormat;
  const ByteSpan stream = data.From(kHeaderSize);
  const size_t pixels = size_t{h.width} * h.height;
  // Every pixel takes at least one record byte, and the stream must be able
  // to give them: this bounds both blocks by the size of the input.
  if (h.unpackedSize < pixels || !StreamCanYield(stream, h.unpackedSize)) return SpiResult::UnsupportedFormat;

  size_t imageSize;
  if (!MulSize(pixels, 4, &imageSize)) return SpiResult::OutOfMemory;

  HeapBuffer records;
  if (!records.Allocate(h.unpackedSize)) return SpiResult::OutOfMemory;
  if (!ExpandStream(records.data(), stream, h.unpackedSize)) return SpiResult::UnsupportedFormat;
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;

  DibOutput out;
  if (!out.AllocateInfo(kBitmapInfoHeaderSize) || !out.AllocateBits(imageSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = h.width;
  header.height = h.height;
  header.bitCount = 32;
  WriteDibHeader(out.info(), header);
  if (!WalkRecords(ByteSpan{records.data(), records.size()}, pixels, out.bits())) return SpiResult::UnsupportedFormat;
  if (progress.Stop(2, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
