#include "plugin/formats/spi_lfb.h"

#include <algorithm>
#include <cstring>

#include "plugin/formats/packed_stream.h"

namespace {

constexpr int kStages = 2;
constexpr size_t kLfbHeaderSize = 8;      // magic and unpacked size
constexpr size_t kInfoHeaderOffset = 14;  // after the BITMAPFILEHEADER
constexpr size_t kHeadersSize = 54;       // both bitmap headers
constexpr size_t kSpareInfoBytes = 14;    // copied after header and palette
constexpr size_t kAlphaPaletteEnd = kHeadersSize + 1024;
constexpr size_t kBitCountOffset = 14;  // within the info block
constexpr uint16_t kAlphaFormBits = 16;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// The fields of the unpacked bitmap file that the decoder reads.
struct BitmapFields {
  uint32_t offBits;
  int32_t width;
  int32_t height;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t clrUsed;

  // `p` must hold kHeadersSize bytes.
  static BitmapFields Read(const uint8_t* p) {
    BitmapFields f;
    f.offBits = Le32(p + 10);
    f.width = static_cast<int32_t>(Le32(p + 18));
    f.height = static_cast<int32_t>(Le32(p + 22));
    f.bitCount = Le16(p + 28);
    f.compression = Le32(p + 30);
    f.clrUsed = Le32(p + 46);
    return f;
  }
  bool alphaForm() const { return bitCount == kAlphaFormBits; }
};

struct LfbLayout {
  BitmapFields fields;
  size_t infoSize;   // header, colour table and spare bytes
  size_t pixelArea;  // from bfOffBits to the end of the file
  size_t bitsSize;
};

// Bitmaps of 1, 2, 4 and 8 bits carry their whole colour table; keeping
// only what fits in 54 bytes would lose most colours of a 4-bit picture.
bool HasColourTable(uint16_t bitCount) { return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8; }

bool InfoSize(const BitmapFields& f, size_t* size) {
  if (!HasColourTable(f.bitCount)) {
    *size = kHeadersSize;
    return true;
  }
  const size_t colours = f.clrUsed ? f.clrUsed : size_t{1} << f.bitCount;
  size_t table;
  return MulSize(colours, 4, &table) && AddSize(kBitmapInfoHeaderSize + kSpareInfoBytes, table, size);
}

// The bytes of the rows a host reads for this header at `bitsPerPixel`:
// ((width × bits + 31) / 32) × 4 for each of |height| rows. Reckoned in 64
// bits, so that the answer does not depend on the width of size_t.
bool RowBytes(const BitmapFields& f, unsigned bitsPerPixel, uint64_t* bytes) {
  if (f.width < 0) return false;
  const uint64_t rows = f.height < 0 ? -int64_t{f.height} : f.height;
  uint64_t bits;
  return MulCount(static_cast<uint64_t>(f.width), bitsPerPixel, &bits) && AddCount(bits, 31, &bits) &&
         MulCount(bits / 32 * 4, rows, bytes);
}

// Checks the unpacked file against its own headers. A host reads the rows
// of an uncompressed bitmap (and those of the alpha form's 32-bit output)
// as the header describes them, so they must all be there; the colour
// table, and for the alpha form the 256 entries its indices look up, must
// lie inside the file. The spare bytes after the table need not: a small
// bitmap file can end before them, and they stay zero.
bool Plan(ByteSpan file, LfbLayout* l) {
  l->fields = BitmapFields::Read(file.data);
  const BitmapFields& f = l->fields;
  if (f.offBits > file.size || !InfoSize(f, &l->infoSize) || l->infoSize > file.size) return false;
  l->pixelArea = file.size - f.offBits;
  if (f.alphaForm() && file.size < kAlphaPaletteEnd) return false;
  if (!MulSize(l->pixelArea, f.alphaForm() ? 2 : 1, &l->bitsSize)) return false;
  if (!f.alphaForm() && f.compression != kBiRgb && f.compression != kBiBitfields) return true;
  uint64_t rows;
  return RowBytes(f, f.alphaForm() ? 32 : f.bitCount, &rows) && rows <= l->bitsSize;
}

// Each (alpha, index) pair becomes blue, green and red of the palette
// entry followed by the alpha; a lone byte at the end is ignored.
void ConvertAlphaPairs(ByteSpan file, const LfbLayout& l, uint8_t* out) {
  const uint8_t* palette = file.data + kHeadersSize;
  const uint8_t* pair = file.data + l.fields.offBits;
  for (size_t i = 0; i < l.pixelArea / 2; ++i, pair += 2, out += 4) {
    std::memcpy(out, palette + 4 * pair[1], 3);
    out[3] = pair[0];
  }
}

}  // namespace

SpiResult SpiLfb::GetInfo(ByteSpan data, PictureInfo* info) {
  uint8_t headers[kHeadersSize];
  if (!data.Has(0, kLfbHeaderSize) || !ExpandStream(headers, data.From(kLfbHeaderSize), kHeadersSize))
    return SpiResult::UnsupportedFormat;
  const BitmapFields f = BitmapFields::Read(headers);
  *info = MakePictureInfo(f.width, f.height, f.bitCount);
  return SpiResult::Ok;
}

SpiResult SpiLfb::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  if (!data.Has(0, kLfbHeaderSize)) return SpiResult::UnsupportedFormat;
  const size_t unpackedSize = Le32(data.data + 4);
  const ByteSpan stream = data.From(kLfbHeaderSize);
  if (unpackedSize < kHeadersSize || !StreamCanYield(stream, unpackedSize)) return SpiResult::UnsupportedFormat;

  HeapBuffer unpacked;
  if (!unpacked.Allocate(unpackedSize)) return SpiResult::OutOfMemory;
  if (!ExpandStream(unpacked.data(), stream, unpackedSize)) return SpiResult::UnsupportedFormat;
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;

  const ByteSpan file{unpacked.data(), unpacked.size()};
  LfbLayout l;
  if (!Plan(file, &l)) return SpiResult::UnsupportedFormat;
  DibOutput out;
  if (!out.AllocateInfo(l.infoSize)) return SpiResult::OutOfMemory;
  std::memcpy(out.info(), file.data + kInfoHeaderOffset, std::min(l.infoSize, file.size - kInfoHeaderOffset));
  if (l.fields.alphaForm()) {
    out.info()[kBitCountOffset] = 32;
    out.info()[kBitCountOffset + 1] = 0;
  }
  if (!out.AllocateBits(l.bitsSize)) return SpiResult::OutOfMemory;
  if (l.fields.alphaForm()) {
    ConvertAlphaPairs(file, l, out.bits());
  } else {
    std::memcpy(out.bits(), file.data + l.fields.offBits, l.pixelArea);
  }
  if (progress.Stop(2, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
