#include "plugin/formats/spi_px3.h"

#include <algorithm>
#include <cstring>

#include "plugin/formats/px_header.h"
#include "plugin/formats/px_runs.h"

namespace {

constexpr int kStages = 1;
constexpr uint16_t kTrueColourFormat = 64;  // no palette block
constexpr int32_t kMaxSide = 0xFFFFFF;
constexpr size_t kPaletteHeaderSize = 32;
constexpr size_t kSubImageHeaderSize = 32;
constexpr size_t kColours = 256;
constexpr uint16_t kIndexedDepth = 9;
constexpr uint16_t kPaletteDepth = 8;
constexpr uint16_t kAlphaDepth = 32;

struct Px3Layout {
  uint16_t format;
  int32_t width;
  int32_t height;
  ByteSpan palette;      // the palette block's colours, 4 bytes each
  size_t firstSubImage;  // offset of the first sub-image header
  uint64_t subImages;
  uint16_t depth;  // the first sub-image's, which decides for all
  size_t pixelBytes;
};

// Finds the sub-images. A file whose first sub-image has the depth of the
// other layout (a palette file with 16 bits or more, a true-colour file
// with fewer) is refused rather than read through the wrong layout.
SpiResult Plan(ByteSpan data, Px3Layout* l) {
  if (!data.Has(0, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const uint32_t entries = Le32(data.data);
  l->format = Le16(data.data + PxHeader::kFormatOffset);
  l->width = static_cast<int32_t>(Le32(data.data + 20));
  l->height = static_cast<int32_t>(Le32(data.data + 24));
  const bool paletteFile = l->format != kTrueColourFormat;
  uint64_t offset = PxHeader::kSize + uint64_t{4} * entries;
  if (paletteFile) {
    if (!data.Has(offset, kPaletteHeaderSize)) return SpiResult::UnsupportedFormat;
    const uint64_t colourBytes = uint64_t{4} * Le32(data.data + offset);
    offset += kPaletteHeaderSize;
    if (!data.Has(offset, colourBytes)) return SpiResult::UnsupportedFormat;
    l->palette = ByteSpan{data.data + offset, static_cast<size_t>(colourBytes)};
    offset += colourBytes;
  }
  if (!data.Has(offset, kSubImageHeaderSize)) return SpiResult::UnsupportedFormat;
  l->firstSubImage = static_cast<size_t>(offset);
  l->depth = Le16(data.data + offset + 18);
  l->pixelBytes = l->depth == kIndexedDepth ? 4 : l->depth / 8;
  if (l->width < 1 || l->width > kMaxSide || l->height < 1 || l->height > kMaxSide) return SpiResult::UnsupportedFormat;
  if (l->pixelBytes == 6 || paletteFile != (l->depth < 16) || (paletteFile && entries == 0))
    return SpiResult::UnsupportedFormat;
  // The palette block counts as one of the entries.
  l->subImages = paletteFile ? entries - 1 : entries;
  return SpiResult::Ok;
}

// The colours of indexed runs. An index past the palette's last colour
// reads as black, as the zero entries of the 8-bit colour table do.
struct IndexedColours {
  uint8_t bgr[kColours][3] = {};

  explicit IndexedColours(ByteSpan palette) {
    const size_t count = std::min(palette.size / 4, kColours);
    for (size_t i = 0; i < count; ++i) std::memcpy(bgr[i], palette.data + 4 * i, 3);
  }
  void Put(uint8_t* out, uint8_t index, uint8_t alpha) const {
    std::memcpy(out, bgr[index], 3);
    out[3] = alpha;
  }
};

// An indexed run's control value, from its low bit: dy (8 bits), one
// unused bit, the pixel count (10 bits), the mode toggle, one unused bit
// and dx (signed, 11 bits).
struct IndexedRun {
  uint32_t control;
  uint32_t dy() const { return control & 0xFF; }
  uint32_t count() const { return (control >> 9) & 0x3FF; }
  bool togglesMode() const { return (control & (1u << 19)) != 0; }
  int32_t dx() const { return static_cast<int32_t>(control) >> 21; }
};

// Draws indexed runs up to their end mark: in alpha mode each pixel is an
// (alpha, index) pair with the alpha doubled, in opaque mode an index
// alone with alpha 255. False when the runs reach past the data.
bool DrawIndexedRuns(ByteReader& reader, RunCanvas& canvas, const IndexedColours& colours) {
  bool alphaMode = true;
  for (;;) {
    IndexedRun run;
    if (!reader.U32(&run.control)) return false;
    if (run.control == kRunListEnd) return true;
    if (run.togglesMode()) alphaMode = !alphaMode;
    const size_t stored = alphaMode ? 2 : 1;
    const uint8_t* pixels;
    if (!reader.Take(stored * run.count(), &pixels)) return false;
    canvas.Move(run.dy(), run.dx());
    canvas.Run(run.count(), [&](uint8_t* out, size_t first, size_t n) {
      const uint8_t* in = pixels + stored * first;
      for (size_t i = 0; i < n; ++i, out += 4, in += stored) {
        if (alphaMode) {
          colours.Put(out, in[1], static_cast<uint8_t>(in[0] * 2));
        } else {
          colours.Put(out, in[0], 255);
        }
      }
    });
  }
}

// Draws one sub-image over its rectangle, which it replaces whole, its
// transparent pixels included; a rectangle reaching past the picture is
// clipped. False when the sub-image runs past the data.
bool DrawSubImage(ByteReader& reader, const PxPicture& picture, const Px3Layout& l, const IndexedColours& colours) {
  const uint8_t* head;
  if (!reader.Take(kSubImageHeaderSize, &head)) return false;
  RunCanvas canvas(picture, static_cast<int32_t>(Le32(head + 8)), static_cast<int32_t>(Le32(head + 12)), Le32(head),
                   Le32(head + 4));
  canvas.Clear();
  if (l.depth == kIndexedDepth) return DrawIndexedRuns(reader, canvas, colours);
  return DrawRunList(reader, canvas, Le16(head + 18) == kAlphaDepth);
}

// Draws the sub-images in order; false when one runs past the data.
bool DrawSubImages(ByteSpan data, const Px3Layout& l, const PxPicture& picture, const IndexedColours& colours) {
  ByteReader reader(data, l.firstSubImage);
  for (uint64_t i = 0; i < l.subImages; ++i) {
    if (!DrawSubImage(reader, picture, l, colours)) return false;
  }
  return true;
}

}  // namespace

SpiResult SpiPX3::GetInfo(ByteSpan data, PictureInfo* info) {
  if (!data.Has(0, PxHeader::kSize)) return SpiResult::UnsupportedFormat;
  const bool trueColour = Le16(data.data + PxHeader::kFormatOffset) == kTrueColourFormat;
  *info = MakePictureInfo(static_cast<int32_t>(Le32(data.data + 20)), static_cast<int32_t>(Le32(data.data + 24)),
                          trueColour ? 32 : 8);
  return SpiResult::Ok;
}

SpiResult SpiPX3::Decode(ByteSpan data, DecodeTarget target, const Progress& progress) {
  if (progress.Stop(0, kStages)) return SpiResult::Aborted;
  Px3Layout l;
  const SpiResult planned = Plan(data, &l);
  if (planned != SpiResult::Ok) return planned;
  // The sub-images are walked once over no picture, so that data ending
  // too early are refused before the picture is planned or allocated.
  const IndexedColours colours(l.palette);
  if (!DrawSubImages(data, l, PxPicture::None(l.pixelBytes), colours)) return SpiResult::UnsupportedFormat;
  size_t stride, imageSize;
  if (!PlanBits(static_cast<uint32_t>(l.width), static_cast<uint32_t>(l.height), l.pixelBytes, &stride, &imageSize))
    return SpiResult::OutOfMemory;

  DibOutput out;
  const bool colourTable = l.pixelBytes == 1;
  if (!out.AllocateInfo(kBitmapInfoHeaderSize + (colourTable ? 4 * kColours : 0))) return SpiResult::OutOfMemory;
  DibHeader header;
  header.width = l.width;
  header.height = l.height;
  header.bitCount = static_cast<uint16_t>(8 * l.pixelBytes);
  header.sizeImage = static_cast<uint32_t>(imageSize);
  WriteDibHeader(out.info(), header);
  if (l.depth == kPaletteDepth)
    std::memcpy(out.info() + kBitmapInfoHeaderSize, l.palette.data, std::min(l.palette.size, 4 * kColours));
  if (!out.AllocateBits(imageSize)) return SpiResult::OutOfMemory;

  DrawSubImages(data, l, PxPicture{out.bits(), stride, l.pixelBytes, l.width, l.height}, colours);  // checked above
  if (progress.Stop(1, kStages)) return SpiResult::Aborted;
  return out.HandOver(target.infoHandle, target.bitsHandle);
}
