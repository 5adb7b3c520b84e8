// The strip table of CZ1 and CZ2 files and what both decoders build from
// it: the picture's size, the bitmap header and the walk over the strips.
// A picture is one or more strips stacked from the top, each starting at
// the left edge; its width is the widest strip's, its height their sum.
#pragma once

#include <cstdint>

#include "plugin/framework/spi_base.h"

struct CzStrip {
  static constexpr size_t kSize = 16;

  uint16_t width;
  uint16_t height;
  uint32_t dataLength;     // the next strip's data begin this far on
  uint32_t bytesPerPixel;  // 3 (blue, green, red) or 4 (and alpha)

  // `p` must hold kSize bytes.
  static CzStrip Read(const uint8_t* p) { return CzStrip{Le16(p), Le16(p + 2), Le32(p + 8), Le32(p + 12)}; }
};

constexpr size_t kCzTableOffset = 8;
constexpr size_t kCzDepthOffset = kCzTableOffset + 12;  // the first record's bytes per pixel
constexpr size_t kCzHeaderSize = kCzTableOffset + CzStrip::kSize;
constexpr size_t kCzInfoSize = 54;

// A file that ends before the rows or streams its strips state gives 2,
// as any data shorter than the header requires; 3 is kept for compressed
// data that are there but do not expand to the stated length.
constexpr SpiResult kCzDataCutShort = SpiResult::UnsupportedFormat;

// The one GetInfo of both formats: the first strip's size and depth, so a
// picture of several strips reports its first strip only.
inline SpiResult GetCzInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, kCzHeaderSize)) return SpiResult::UnsupportedFormat;
  const uint8_t* first = data.data + kCzTableOffset;
  *info = MakePictureInfo(Le16(first), Le16(first + 2), 8 * Le16(data.data + kCzDepthOffset));
  return SpiResult::Ok;
}

// One strip as the walk meets it: its record, its data (from where they
// begin to the end of the input; empty when they begin past it) and its
// first output row (0 is the picture's top row). Rows are counted in 64
// bits: the strips of a table not yet vetted may stack past any size_t.
struct CzStripPlace {
  CzStrip strip;
  ByteSpan data;
  uint64_t topRow;
};

// The strip table of a file whose table lies inside the data (as
// PlanCzPicture makes sure).
class CzStrips {
 public:
  CzStrips(ByteSpan data, size_t count) : data_(data), count_(count) {}

  // Calls visit(const CzStripPlace&) for every strip in table order and
  // stops at the first result other than Ok.
  template <class Visit>
  SpiResult ForEach(Visit visit) const {
    uint64_t offset = kCzTableOffset + CzStrip::kSize * uint64_t{count_};
    uint64_t topRow = 0;
    for (size_t i = 0; i < count_; ++i) {
      const CzStrip strip = CzStrip::Read(data_.data + kCzTableOffset + CzStrip::kSize * i);
      const ByteSpan stripData = offset <= data_.size ? data_.From(static_cast<size_t>(offset)) : ByteSpan{};
      const SpiResult result = visit(CzStripPlace{strip, stripData, topRow});
      if (result != SpiResult::Ok) return result;
      offset += strip.dataLength;
      topRow += strip.height;
    }
    return SpiResult::Ok;
  }

 private:
  ByteSpan data_;
  size_t count_;
};

// The bitmap the strips make.
struct CzPicture {
  size_t bytesPerPixel = 0;  // the first record's, 3 or 4
  size_t stripCount = 0;
  size_t width = 1;   // widest strip, at least 1
  size_t height = 0;  // all strips' rows
  size_t stride = 0;
  size_t imageSize = 0;

  // The output row of picture row `row` (0 at the top): rows are stored
  // bottom-up, so the top row is the last of the block. The rows of a
  // planned picture fit in size_t.
  uint8_t* Row(uint8_t* bits, uint64_t row) const { return bits + (height - 1 - static_cast<size_t>(row)) * stride; }
};

// CZ1 counts its strips in 32 bits, CZ2 in one byte.
enum class CzCountField { Long, Byte };
constexpr size_t kCzCountOffset = 4;

// Reads the strip table: the depth, the table itself and a picture with
// rows must be there (else 2), and every strip must pass
// `check`(const CzStripPlace&), which vets its record and that the input
// can hold its data, before any block is allocated.
template <class Check>
SpiResult PlanCzPicture(ByteSpan data, CzCountField countField, Check check, CzPicture* picture) {
  if (!data.Has(0, kCzHeaderSize)) return SpiResult::UnsupportedFormat;
  picture->bytesPerPixel = Le32(data.data + kCzDepthOffset);
  if (picture->bytesPerPixel != 3 && picture->bytesPerPixel != 4) return SpiResult::UnsupportedFormat;
  const uint8_t* count = data.data + kCzCountOffset;
  picture->stripCount = countField == CzCountField::Long ? Le32(count) : *count;
  size_t tableSize;
  if (!MulSize(CzStrip::kSize, picture->stripCount, &tableSize) || !data.Has(kCzTableOffset, tableSize))
    return SpiResult::UnsupportedFormat;
  // At most 2^32 strips of 65,535 rows: the sum fits in 64 bits.
  uint64_t rows = 0;
  const SpiResult checked = CzStrips(data, picture->stripCount).ForEach([&](const CzStripPlace& place) {
    if (place.strip.width > picture->width) picture->width = place.strip.width;
    rows += place.strip.height;
    return check(place);
  });
  if (checked != SpiResult::Ok) return checked;
  // A picture without rows cannot be handed over: a block of size 0
  // cannot be locked.
  if (rows == 0) return SpiResult::UnsupportedFormat;
  // The bitmap header states the image size in 32 bits.
  uint64_t imageSize;
  if (!AlignRow(picture->bytesPerPixel * picture->width, &picture->stride) ||
      !MulCount(picture->stride, rows, &imageSize) || imageSize > UINT32_MAX || !ToSize(imageSize, &picture->imageSize))
    return SpiResult::OutOfMemory;
  picture->height = static_cast<size_t>(rows);  // no more than the image size
  return SpiResult::Ok;
}

// What a format's strips need beside their rows of the bitmap.
struct CzWorkNeeds {
  uint64_t workArea = 0;  // bytes of working area from the heap
  bool zeroFill = true;   // false when the strips write every byte of the bits
};

// The decode both formats share: the strip table planned and vetted, the
// 54-byte info block with its header, the bits block, the working area, then
// every strip in table order; the blocks are handed over only on success.
// `Format` supplies kCountField, kStatesImageSize (biSizeImage is the image
// size, else 0), CheckStrip, Needs and DecodeStrip.
template <class Format>
SpiResult DecodeCzPicture(ByteSpan data, DecodeTarget target) {
  CzPicture picture;
  const SpiResult planned = PlanCzPicture(data, Format::kCountField, Format::CheckStrip, &picture);
  if (planned != SpiResult::Ok) return planned;
  const CzWorkNeeds needs = Format::Needs(data, picture);

  DibOutput out;
  if (!out.AllocateInfo(kCzInfoSize)) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = static_cast<int32_t>(picture.width);
  header.height = static_cast<int32_t>(picture.height);
  header.bitCount = static_cast<uint16_t>(8 * picture.bytesPerPixel);
  if (Format::kStatesImageSize) header.sizeImage = static_cast<uint32_t>(picture.imageSize);
  WriteDibHeader(out.info(), header);
  if (!out.AllocateBits(picture.imageSize, needs.zeroFill)) return SpiResult::OutOfMemory;
  HeapBuffer workArea;
  if (needs.workArea > SIZE_MAX || (needs.workArea && !workArea.Allocate(static_cast<size_t>(needs.workArea))))
    return SpiResult::OutOfMemory;

  const SpiResult decoded = CzStrips(data, picture.stripCount).ForEach([&](const CzStripPlace& place) {
    return Format::DecodeStrip(place, picture, workArea.data(), out.bits());
  });
  if (decoded != SpiResult::Ok) return decoded;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
