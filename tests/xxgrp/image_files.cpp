#include "tests/xxgrp/image_files.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace {

void PutBe32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutInfoHeader(Bytes& out, int width, int height, int bitCount, uint32_t sizeImage) {
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(width));
  PutLe32(out, static_cast<uint32_t>(height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<unsigned>(bitCount));
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, sizeImage);
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);
}

// PNG's filters, applied with the previous row (zeros above the first).
uint8_t Predictor(int filter, uint8_t left, uint8_t up, uint8_t upLeft) {
  switch (filter) {
    case 1:
      return left;
    case 2:
      return up;
    case 3:
      return static_cast<uint8_t>((left + up) / 2);
    case 4: {
      const int p = left + up - upLeft;
      const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
      return pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
    }
    default:
      return 0;
  }
}

// Top-down rows in PNG channel order (RGB or RGBA), without filter bytes.
Bytes PngRows(const Picture& picture) {
  Bytes rows;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* px = picture.At(x, y);
      rows.insert(rows.end(), {px[2], px[1], px[0]});
      if (picture.bytesPerPixel == 4) rows.push_back(px[3]);
    }
  }
  return rows;
}

Bytes FilteredRows(const Picture& picture, int filter) {
  const Bytes raw = PngRows(picture);
  const size_t rowBytes = static_cast<size_t>(picture.width) * picture.bytesPerPixel;
  const size_t bpp = static_cast<size_t>(picture.bytesPerPixel);
  Bytes out;
  for (int y = 0; y < picture.height; ++y) {
    out.push_back(static_cast<uint8_t>(filter));
    const uint8_t* row = raw.data() + y * rowBytes;
    const uint8_t* above = y > 0 ? row - rowBytes : nullptr;
    for (size_t i = 0; i < rowBytes; ++i) {
      const uint8_t left = i >= bpp ? row[i - bpp] : 0;
      const uint8_t up = above ? above[i] : 0;
      const uint8_t upLeft = above && i >= bpp ? above[i - bpp] : 0;
      out.push_back(static_cast<uint8_t>(row[i] - Predictor(filter, left, up, upLeft)));
    }
  }
  return out;
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  Append(out, data);
  PutBe32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

Bytes Deflate(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9);
  out.resize(size);
  return out;
}

// The bitmap of an icon image: BGRA rows bottom-up, then an AND mask of
// zeros (every pixel drawn; the alpha bytes give the transparency).
Bytes IconBitmap(const Picture& bgra) {
  const size_t maskStride = (static_cast<size_t>(bgra.width) + 31) / 32 * 4;
  Bytes out;
  PutInfoHeader(out, bgra.width, bgra.height * 2, 32, 0);
  Append(out, ExpectedBits(bgra));
  out.resize(out.size() + maskStride * bgra.height, 0);
  return out;
}

Bytes IconFile(const Picture& picture, const Bytes& image) {
  Bytes out;
  PutLe16(out, 0);
  PutLe16(out, 1);                                            // an icon
  PutLe16(out, 1);                                            // one image
  out.push_back(static_cast<uint8_t>(picture.width & 0xFF));  // 0 stands for 256
  out.push_back(static_cast<uint8_t>(picture.height & 0xFF));
  out.push_back(0);  // no palette
  out.push_back(0);
  PutLe16(out, 1);
  PutLe16(out, 32);
  PutLe32(out, static_cast<uint32_t>(image.size()));
  PutLe32(out, 22);
  Append(out, image);
  return out;
}

void PutTiffEntry(Bytes& out, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  PutLe16(out, tag);
  PutLe16(out, type);
  PutLe32(out, count);
  PutLe32(out, value);
}

// GIF's variable-length codes kept at 9 bits: a clear code before the
// table would grow past 511 entries, so every other code is a literal.
class GifCodes {
 public:
  void Put(unsigned code) {
    buffer_ |= code << bits_;
    bits_ += 9;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      bits_ -= 8;
    }
  }
  Bytes Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(buffer_));
    return bytes_;
  }

 private:
  Bytes bytes_;
  uint32_t buffer_ = 0;
  int bits_ = 0;
};

Bytes GifImageData(const Picture& indices) {
  constexpr unsigned kClear = 256, kEnd = 257, kLiteralsPerClear = 250;
  GifCodes codes;
  for (size_t i = 0; i < indices.pixels.size(); ++i) {
    if (i % kLiteralsPerClear == 0) codes.Put(kClear);
    codes.Put(indices.pixels[i]);
  }
  codes.Put(kEnd);
  const Bytes packed = codes.Finish();
  Bytes out{8};  // minimum code size
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t length = std::min<size_t>(255, packed.size() - at);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), packed.begin() + at, packed.begin() + at + length);
  }
  out.push_back(0);
  return out;
}

}  // namespace

Bytes WriteBmp(const Picture& picture) {
  const Bytes bits = ExpectedBits(picture);
  Bytes out{'B', 'M'};
  PutLe32(out, static_cast<uint32_t>(54 + bits.size()));
  PutLe32(out, 0);
  PutLe32(out, 54);
  PutInfoHeader(out, picture.width, picture.height, picture.bytesPerPixel * 8, static_cast<uint32_t>(bits.size()));
  Append(out, bits);
  return out;
}

Bytes WritePng(const Picture& picture, int filter) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBe32(header, static_cast<uint32_t>(picture.width));
  PutBe32(header, static_cast<uint32_t>(picture.height));
  header.insert(header.end(), {8, static_cast<uint8_t>(picture.bytesPerPixel == 4 ? 6 : 2), 0, 0, 0});
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", Deflate(FilteredRows(picture, filter)));
  PutChunk(out, "IEND", {});
  return out;
}

Bytes WriteIcoBitmap(const Picture& bgra) { return IconFile(bgra, IconBitmap(bgra)); }

Bytes WriteIcoPng(const Picture& bgra) { return IconFile(bgra, WritePng(bgra)); }

Bytes WriteTiff(const Picture& bgr) {
  constexpr uint16_t kShort = 3, kLong = 4;
  constexpr uint32_t kEntries = 10, kIfdSize = 2 + kEntries * 12 + 4;
  const uint32_t bitsPerSampleAt = 8 + kIfdSize, pixelsAt = bitsPerSampleAt + 6;
  const uint32_t pixelBytes = static_cast<uint32_t>(bgr.width) * bgr.height * 3;
  Bytes out{'I', 'I', 42, 0};
  PutLe32(out, 8);
  PutLe16(out, kEntries);
  PutTiffEntry(out, 256, kLong, 1, static_cast<uint32_t>(bgr.width));   // ImageWidth
  PutTiffEntry(out, 257, kLong, 1, static_cast<uint32_t>(bgr.height));  // ImageLength
  PutTiffEntry(out, 258, kShort, 3, bitsPerSampleAt);                   // BitsPerSample
  PutTiffEntry(out, 259, kShort, 1, 1);                                 // Compression: none
  PutTiffEntry(out, 262, kShort, 1, 2);                                 // Photometric: RGB
  PutTiffEntry(out, 273, kLong, 1, pixelsAt);                           // StripOffsets
  PutTiffEntry(out, 277, kShort, 1, 3);                                 // SamplesPerPixel
  PutTiffEntry(out, 278, kLong, 1, static_cast<uint32_t>(bgr.height));  // RowsPerStrip
  PutTiffEntry(out, 279, kLong, 1, pixelBytes);                         // StripByteCounts
  PutTiffEntry(out, 284, kShort, 1, 1);                                 // PlanarConfiguration: chunky
  PutLe32(out, 0);                                                      // no further directory
  for (int i = 0; i < 3; ++i) PutLe16(out, 8);
  for (int y = 0; y < bgr.height; ++y) {
    for (int x = 0; x < bgr.width; ++x) {
      const uint8_t* px = bgr.At(x, y);
      out.insert(out.end(), {px[2], px[1], px[0]});
    }
  }
  return out;
}

Bytes WriteGif(const Picture& indices, const Palette& palette, std::optional<uint8_t> transparentIndex) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  PutLe16(out, static_cast<unsigned>(indices.width));
  PutLe16(out, static_cast<unsigned>(indices.height));
  out.insert(out.end(), {0xF7, 0, 0});  // a global table of 256 colours
  for (int i = 0; i < 256; ++i) out.insert(out.end(), {palette[i * 4 + 2], palette[i * 4 + 1], palette[i * 4]});
  if (transparentIndex) out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, *transparentIndex, 0});
  out.push_back(0x2C);
  PutLe16(out, 0);
  PutLe16(out, 0);
  PutLe16(out, static_cast<unsigned>(indices.width));
  PutLe16(out, static_cast<unsigned>(indices.height));
  out.push_back(0);  // no local table, not interlaced
  Append(out, GifImageData(indices));
  out.push_back(0x3B);
  return out;
}
