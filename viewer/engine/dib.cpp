#include "viewer/engine/dib.h"

#include <algorithm>

namespace {

constexpr size_t kHeaderSize = sizeof(BitmapInfoHeader);
constexpr size_t kMaskOffset = 40;  // red, green, blue masks follow a 40-byte header
constexpr size_t kMaskBytes = 12;
constexpr size_t kAlphaMaskOffset = 52;
constexpr uint32_t kAlphaMaskHeaderSize = 56;
constexpr size_t kColourEntrySize = 4;

BitmapInfoHeader DecodeHeader(const uint8_t* p) {
  BitmapInfoHeader h;
  h.biSize = Le32(p);
  h.biWidth = static_cast<int32_t>(Le32(p + 4));
  h.biHeight = static_cast<int32_t>(Le32(p + 8));
  h.biPlanes = Le16(p + 12);
  h.biBitCount = Le16(p + 14);
  h.biCompression = Le32(p + 16);
  h.biSizeImage = Le32(p + 20);
  h.biXPelsPerMeter = static_cast<int32_t>(Le32(p + 24));
  h.biYPelsPerMeter = static_cast<int32_t>(Le32(p + 28));
  h.biClrUsed = Le32(p + 32);
  h.biClrImportant = Le32(p + 36);
  return h;
}

bool IsUsableDepth(const BitmapInfoHeader& h) {
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
      return h.biCompression == kBiRgb;
    case 16:
    case 32:
      return h.biCompression == kBiRgb || h.biCompression == kBiBitfields;
    default:
      return false;
  }
}

bool UsesColourTable(const BitmapInfoHeader& h) { return h.biBitCount <= 8; }

// The header and the geometry it implies, common to both kinds of intake.
// The whole header (biSize bytes) must lie in the block. RLE and other
// compressed layouts are refused: their rows cannot be read as stored rows.
bool ReadHeader(ByteSpan block, DibPicture* picture) {
  if (!block.Has(0, kHeaderSize)) return false;
  const BitmapInfoHeader h = DecodeHeader(block.data);
  if (h.biSize < kHeaderSize || !block.Has(0, h.biSize)) return false;
  // INT32_MIN has no positive row count.
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || !IsUsableDepth(h)) return false;
  const int32_t rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  // The 32-bit form (a keyed foreground) is the largest buffer ever made
  // from a picture: if it fits, the picture's own rows and its 24-bit form
  // fit too.
  if (Bgra32Of(nullptr, h.biWidth, rows).bytes == 0) return false;
  picture->header = h;
  picture->width = h.biWidth;
  picture->height = rows;
  picture->topDown = h.biHeight < 0;
  return DibRowBytes(static_cast<uint32_t>(h.biWidth), h.biBitCount, &picture->stride);
}

// Masks at bytes 40, 44, 48 of `block`; the alpha mask only where the
// header is long enough to hold it (BITMAPV3/V4/V5 layouts). A BI_BITFIELDS
// picture with a shorter header has no alpha mask: it stays 0, so no alpha
// is read through it (such a picture has no alpha channel, see
// HasAlphaChannel).
bool ReadMasks(ByteSpan block, DibPicture* picture) {
  ChannelMasks& m = picture->masks;
  if (picture->header.biCompression == kBiRgb) {
    if (picture->header.biBitCount == 32) m = ChannelMasks{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    if (picture->header.biBitCount == 16) m = ChannelMasks{0x7C00, 0x03E0, 0x001F, 0};
    return true;
  }
  if (!block.Has(kMaskOffset, kMaskBytes)) return false;
  m.red = Le32(block.data + kMaskOffset);
  m.green = Le32(block.data + kMaskOffset + 4);
  m.blue = Le32(block.data + kMaskOffset + 8);
  if (picture->header.biSize >= kAlphaMaskHeaderSize) m.alpha = Le32(block.data + kAlphaMaskOffset);
  return true;
}

uint32_t AddressableColours(const BitmapInfoHeader& h) { return UsesColourTable(h) ? 1u << h.biBitCount : 0; }

bool TakeRows(ByteSpan block, size_t offset, DibPicture* picture) {
  size_t bytes;
  if (!DibPictureBytes(static_cast<uint32_t>(picture->width), static_cast<uint32_t>(picture->height),
                       picture->header.biBitCount, &bytes) ||
      !block.Has(offset, bytes))
    return false;
  picture->pixels = block.data + offset;
  return true;
}

}  // namespace

BitmapInfoHeader MakeBitmapInfoHeader(int32_t width, int32_t height, uint16_t bitCount) {
  BitmapInfoHeader h{};
  h.biSize = kHeaderSize;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biCompression = kBiRgb;
  return h;
}

namespace {

template <class View>
View ViewOf(const uint8_t* pixels, int32_t width, int32_t height, unsigned bitCount) {
  View view{pixels, width, height};
  if (width <= 0 || height <= 0 || !DibRowBytes(static_cast<uint32_t>(width), bitCount, &view.stride) ||
      !DibPictureBytes(static_cast<uint32_t>(width), static_cast<uint32_t>(height), bitCount, &view.bytes))
    view.stride = view.bytes = 0;
  return view;
}

}  // namespace

Bgr24View Bgr24Of(const uint8_t* pixels, int32_t width, int32_t height) {
  return ViewOf<Bgr24View>(pixels, width, height, 24);
}

Bgra32View Bgra32Of(const uint8_t* pixels, int32_t width, int32_t height) {
  return ViewOf<Bgra32View>(pixels, width, height, 32);
}

bool HasAlphaChannel(const BitmapInfoHeader& header) {
  if (header.biBitCount != 32) return false;
  return header.biCompression == kBiRgb ||
         (header.biCompression == kBiBitfields && header.biSize >= kAlphaMaskHeaderSize);
}

bool ReadPluginPicture(ByteSpan info, ByteSpan pixels, DibPicture* picture) {
  DibPicture p;
  if (!ReadHeader(info, &p) || !ReadMasks(info, &p) || !TakeRows(pixels, 0, &p)) return false;
  // The colour table starts right after the header; it is as long as the
  // block allows, up to the entries an index can address.
  if (UsesColourTable(p.header)) {
    const size_t tableBytes = info.size - p.header.biSize;
    p.colourTable = info.data + p.header.biSize;
    p.colourCount =
        static_cast<uint32_t>(std::min<size_t>(tableBytes / kColourEntrySize, AddressableColours(p.header)));
  }
  *picture = p;
  return true;
}

bool ReadPackedDib(ByteSpan block, DibPicture* picture) {
  DibPicture p;
  if (!ReadHeader(block, &p) || !ReadMasks(block, &p)) return false;
  const BitmapInfoHeader& h = p.header;
  size_t offset = h.biSize;
  if (h.biCompression == kBiBitfields && h.biSize == kHeaderSize) offset += kMaskBytes;
  const uint32_t entries = h.biClrUsed != 0 ? h.biClrUsed : AddressableColours(h);
  uint64_t tableBytes;
  if (!MulCount(entries, kColourEntrySize, &tableBytes) || !block.Has(offset, tableBytes)) return false;
  if (UsesColourTable(h)) {
    p.colourTable = block.data + offset;
    p.colourCount = std::min(entries, AddressableColours(h));
  }
  offset += static_cast<size_t>(tableBytes);
  if (!TakeRows(block, offset, &p)) return false;
  *picture = p;
  return true;
}

void FlipRows(uint8_t* pixels, size_t stride, int32_t rows) {
  if (rows < 2) return;
  uint8_t* top = pixels;
  uint8_t* bottom = pixels + stride * static_cast<size_t>(rows - 1);
  for (; top < bottom; top += stride, bottom -= stride) std::swap_ranges(top, top + stride, bottom);
}

BitmapInfoHeader ForegroundHeader(const DibPicture& picture) {
  BitmapInfoHeader h = MakeBitmapInfoHeader(picture.width, picture.height, 32);
  if (picture.header.biSize == kHeaderSize && picture.header.biCompression == kBiRgb) {
    h.biXPelsPerMeter = picture.header.biXPelsPerMeter;
    h.biYPelsPerMeter = picture.header.biYPelsPerMeter;
  }
  return h;
}
