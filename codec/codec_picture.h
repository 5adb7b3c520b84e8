// A Leaf picture as the imaging component hands it out: decoded by the
// plug-in's own decoders, its bitmap rows then described, not converted,
// as one of four WIC pixel formats, top row first.
//
//   32 bits       32bppBGRA (straight alpha, as the decoders give it)
//   24 bits       24bppBGR
//   16 bits       16bppBGR555 (the bitmap's own 5-5-5 layout)
//   1 to 8 bits   8bppIndexed with the colour table as its palette; 1, 2
//                 and 4-bit rows are widened to one byte per pixel
//
// Any other layout of a bitmap (bit fields, compression) is refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/blocks.h"
#include "base/bytes.h"
#include "codec/codec_ids.h"
#include "codec/codec_status.h"

enum class PixelLayout { Bgra32, Bgr24, Bgr555, Indexed8 };

const CodecGuid& PixelFormatOf(PixelLayout layout);

constexpr uint32_t kPaletteSize = 256;

// The rows of a decoded picture, read top row first.
struct PictureView {
  uint32_t width = 0;
  uint32_t height = 0;
  PixelLayout layout = PixelLayout::Bgra32;
  uint32_t bytesPerPixel = 4;
  const uint8_t* top = nullptr;  // the top row
  ptrdiff_t rowStep = 0;         // from a row to the one below it (negative for bitmap rows stored bottom first)
  // Indexed8 only: 0xAARRGGBB, every entry opaque, as many as the bitmap's
  // depth addresses (entries the colour table lacks are black).
  uint32_t palette[kPaletteSize] = {};
  uint32_t paletteCount = 0;
  // From the bitmap's pixels per metre, or 96 where it gives none.
  double dpiX = 96;
  double dpiY = 96;

  const uint8_t* Row(uint32_t y) const { return top + static_cast<ptrdiff_t>(y) * rowStep; }
};

// Describes the plug-in's two blocks (the bitmap information with its
// colour table, and the rows) as a view; `widened` receives the one-byte
// indices of a 1, 2 or 4-bit picture. Every size is checked against the
// blocks as allocated.
CodecStatus DescribeBitmap(ByteSpan info, ByteSpan bits, PictureView* view, HeapBuffer* widened);

// A picture decoded from a whole file in memory. Holds the decoder's
// blocks while it lives.
class CodecPicture {
 public:
  CodecPicture() = default;
  ~CodecPicture();
  CodecPicture(const CodecPicture&) = delete;
  CodecPicture& operator=(const CodecPicture&) = delete;

  CodecStatus Decode(ByteSpan file);
  const PictureView& view() const { return view_; }

 private:
  void Release();

  SpiHandle info_ = nullptr;
  SpiHandle bits_ = nullptr;
  HeapBuffer widened_;
  PictureView view_;
};

// The capability question: whether the first bytes of a file are a Leaf
// picture whose header reads.
bool CanDecode(ByteSpan head);

// A rectangle as WIC gives it.
struct PixelRect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// CopyPixels: the rectangle (the whole picture when null) into `buffer`,
// rows `stride` bytes apart. InvalidArgument for a null buffer, a
// rectangle outside the picture or a stride shorter than a row;
// BufferTooSmall when the rows do not fit `bufferSize`. An empty
// rectangle copies nothing.
CodecStatus CopyPixels(const PictureView& view, const PixelRect* rect, uint32_t stride, uint32_t bufferSize,
                       uint8_t* buffer);
