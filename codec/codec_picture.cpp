#include "codec/codec_picture.h"

#include <cstring>

#include "base/sizes.h"
#include "platform/platform.h"
#include "plugin/framework/detect.h"

namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr double kInchesPerMetre = 0.0254;
constexpr uint32_t kOpaque = 0xFF000000u;

// 1, 2 and 4-bit indices, leftmost pixel in the high bits, one byte each.
void WidenRow(const uint8_t* in, unsigned bits, uint32_t width, uint8_t* out) {
  const unsigned perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (uint32_t x = 0; x < width; ++x) {
    const unsigned shift = 8 - bits * (x % perByte + 1);
    out[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
  }
}

double DotsPerInch(int32_t pixelsPerMetre) { return pixelsPerMetre > 0 ? pixelsPerMetre * kInchesPerMetre : 96.0; }

void ReadPalette(ByteSpan info, uint32_t headerSize, unsigned bits, uint32_t clrUsed, PictureView* view) {
  const uint32_t addressable = 1u << bits;
  uint32_t present = clrUsed != 0 && clrUsed < addressable ? clrUsed : addressable;
  const size_t room = (info.size - headerSize) / 4;
  if (present > room) present = static_cast<uint32_t>(room);
  for (uint32_t i = 0; i < addressable; ++i) {
    uint32_t colour = kOpaque;
    if (i < present) {
      const uint8_t* q = info.data + headerSize + 4 * static_cast<size_t>(i);
      colour |= static_cast<uint32_t>(q[2]) << 16 | static_cast<uint32_t>(q[1]) << 8 | q[0];
    }
    view->palette[i] = colour;
  }
  view->paletteCount = addressable;
}

}  // namespace

const CodecGuid& PixelFormatOf(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::Bgr24: return kPixelFormat24bppBGR;
    case PixelLayout::Bgr555: return kPixelFormat16bppBGR555;
    case PixelLayout::Indexed8: return kPixelFormat8bppIndexed;
    case PixelLayout::Bgra32: break;
  }
  return kPixelFormat32bppBGRA;
}

CodecStatus DescribeBitmap(ByteSpan info, ByteSpan bits, PictureView* view, HeapBuffer* widened) {
  if (!info.Has(0, kInfoHeaderSize)) return CodecStatus::BadImage;
  const uint8_t* h = info.data;
  const uint32_t headerSize = Le32(h);
  const auto width = static_cast<int32_t>(Le32(h + 4));
  const auto height = static_cast<int32_t>(Le32(h + 8));
  const unsigned bitCount = Le16(h + 14);
  if (headerSize < kInfoHeaderSize || !info.Has(0, headerSize)) return CodecStatus::BadImage;
  // INT32_MIN has no positive row count.
  if (width <= 0 || height == 0 || height == INT32_MIN) return CodecStatus::BadImage;
  if (Le32(h + 16) != kBiRgb) return CodecStatus::UnsupportedPixels;
  PictureView v;
  switch (bitCount) {
    case 32: v.layout = PixelLayout::Bgra32; break;
    case 24: v.layout = PixelLayout::Bgr24; break;
    case 16: v.layout = PixelLayout::Bgr555; break;
    case 1: case 2: case 4: case 8: v.layout = PixelLayout::Indexed8; break;
    default: return CodecStatus::UnsupportedPixels;
  }
  v.width = static_cast<uint32_t>(width);
  v.height = height < 0 ? static_cast<uint32_t>(-height) : static_cast<uint32_t>(height);
  v.bytesPerPixel = bitCount < 8 ? 1 : bitCount / 8;
  size_t stride, total;
  if (!DibRowBytes(v.width, bitCount, &stride) || !DibPictureBytes(v.width, v.height, bitCount, &total))
    return CodecStatus::BadImage;
  if (!bits.Has(0, total)) return CodecStatus::BadImage;
  // Rows stored bottom first (a positive height) are read from the last.
  const bool bottomFirst = height > 0;
  const uint8_t* top = bottomFirst ? bits.data + total - stride : bits.data;
  const ptrdiff_t step = bottomFirst ? -static_cast<ptrdiff_t>(stride) : static_cast<ptrdiff_t>(stride);
  if (bitCount < 8) {
    size_t widenedBytes;
    if (!DibPictureBytes(v.width, v.height, 8, &widenedBytes)) return CodecStatus::BadImage;
    if (!widened->Allocate(widenedBytes)) return CodecStatus::OutOfMemory;
    size_t widenedStride;
    DibRowBytes(v.width, 8, &widenedStride);
    for (uint32_t y = 0; y < v.height; ++y)
      WidenRow(top + static_cast<ptrdiff_t>(y) * step, bitCount, v.width, widened->data() + y * widenedStride);
    v.top = widened->data();
    v.rowStep = static_cast<ptrdiff_t>(widenedStride);
  } else {
    v.top = top;
    v.rowStep = step;
  }
  if (bitCount <= 8) ReadPalette(info, headerSize, bitCount, Le32(h + 32), &v);
  v.dpiX = DotsPerInch(static_cast<int32_t>(Le32(h + 24)));
  v.dpiY = DotsPerInch(static_cast<int32_t>(Le32(h + 28)));
  *view = v;
  return CodecStatus::Ok;
}

CodecPicture::~CodecPicture() { Release(); }

void CodecPicture::Release() {
  for (SpiHandle* block : {&info_, &bits_}) {
    if (!*block) continue;
    platform::UnlockMovable(*block);
    platform::FreeMovable(*block);
    *block = nullptr;
  }
  view_ = PictureView();
}

CodecStatus CodecPicture::Decode(ByteSpan file) {
  Release();
  DecoderPtr decoder;
  // By content alone: a stream has no name whose extension could narrow it.
  if (!CreateDecoder(nullptr, file, &decoder)) return CodecStatus::NotRecognised;
  if (!decoder) return CodecStatus::OutOfMemory;
  SpiHandle info = nullptr, bits = nullptr;
  switch (decoder->Decode(file, DecodeTarget{&info, &bits}, Progress(nullptr, 0))) {
    case SpiResult::Ok: break;
    case SpiResult::OutOfMemory:
    case SpiResult::MemoryError: return CodecStatus::OutOfMemory;
    default: return CodecStatus::BadImage;
  }
  // Both blocks stay locked while the picture holds them.
  const uint8_t* infoData = platform::LockMovable(info);
  const uint8_t* bitsData = platform::LockMovable(bits);
  if (!infoData || !bitsData) {
    if (infoData) platform::UnlockMovable(info);
    if (bitsData) platform::UnlockMovable(bits);
    platform::FreeMovable(info);
    platform::FreeMovable(bits);
    return CodecStatus::OutOfMemory;
  }
  info_ = info;
  bits_ = bits;
  const CodecStatus status =
      DescribeBitmap(ByteSpan{infoData, platform::MovableSize(info_)}, ByteSpan{bitsData, platform::MovableSize(bits_)},
                     &view_, &widened_);
  if (status != CodecStatus::Ok) Release();
  return status;
}

bool CanDecode(ByteSpan head) {
  DecoderPtr decoder;
  if (!CreateDecoder(nullptr, head, &decoder) || !decoder) return false;
  PictureInfo info;
  return decoder->GetInfo(head, &info) == SpiResult::Ok && info.width > 0 && info.height != 0;
}

CodecStatus CopyPixels(const PictureView& view, const PixelRect* rect, uint32_t stride, uint32_t bufferSize,
                       uint8_t* buffer) {
  if (!buffer) return CodecStatus::InvalidArgument;
  const PixelRect whole{0, 0, static_cast<int32_t>(view.width), static_cast<int32_t>(view.height)};
  const PixelRect r = rect ? *rect : whole;
  if (r.x < 0 || r.y < 0 || r.width < 0 || r.height < 0 || uint64_t{uint32_t(r.x)} + uint32_t(r.width) > view.width ||
      uint64_t{uint32_t(r.y)} + uint32_t(r.height) > view.height)
    return CodecStatus::InvalidArgument;
  if (r.width == 0 || r.height == 0) return CodecStatus::Ok;
  const uint64_t rowBytes = uint64_t{uint32_t(r.width)} * view.bytesPerPixel;
  if (stride < rowBytes) return CodecStatus::InvalidArgument;
  if (uint64_t{stride} * (uint32_t(r.height) - 1) + rowBytes > bufferSize) return CodecStatus::BufferTooSmall;
  const size_t offset = static_cast<size_t>(r.x) * view.bytesPerPixel;
  for (int32_t y = 0; y < r.height; ++y)
    std::memcpy(buffer + static_cast<size_t>(y) * stride, view.Row(static_cast<uint32_t>(r.y + y)) + offset,
                static_cast<size_t>(rowBytes));
  return CodecStatus::Ok;
}
