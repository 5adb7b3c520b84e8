#include "tools/spiconv/png_rows.h"

#include "viewer/engine/dib.h"
#include "viewer/engine/pixel_convert.h"

namespace {

uint8_t Channel(uint32_t pixel, uint32_t mask) {
  const uint32_t bits = pixel & mask;
  const int shift = MaskShift(mask);
  return static_cast<uint8_t>(shift >= 0 ? bits >> shift : bits << -shift);
}

// The picture's own pixels with their alpha, through its masks, bottom row
// first. False when every alpha is 0.
bool ExtractBgra(const DibPicture& picture, PngRows* rows) {
  const ChannelMasks& m = picture.masks;
  bool anyAlpha = false;
  for (int32_t stored = 0; stored < picture.height; ++stored) {
    const uint8_t* in = picture.pixels + size_t(stored) * picture.stride;
    const int32_t fromBottom = picture.topDown ? picture.height - 1 - stored : stored;
    uint8_t* out = rows->pixels.data() + size_t(fromBottom) * rows->stride;
    for (int32_t x = 0; x < picture.width; ++x, in += 4, out += 4) {
      const uint32_t pixel = Le32(in);
      out[0] = Channel(pixel, m.blue);
      out[1] = Channel(pixel, m.green);
      out[2] = Channel(pixel, m.red);
      out[3] = Channel(pixel, m.alpha);
      anyAlpha |= out[3] != 0;
    }
  }
  return anyAlpha;
}

}  // namespace

bool MakePngRows(ByteSpan info, ByteSpan bits, PngRows* rows) {
  DibPicture picture;
  if (!ReadPluginPicture(info, bits, &picture)) return false;
  rows->width = static_cast<uint32_t>(picture.width);
  rows->height = static_cast<uint32_t>(picture.height);
  rows->pixelsPerMeterX = picture.header.biXPelsPerMeter;
  rows->pixelsPerMeterY = picture.header.biYPelsPerMeter;
  if (picture.header.biBitCount == 32 && picture.masks.alpha != 0) {
    const Bgra32View view = Bgra32Of(nullptr, picture.width, picture.height);
    rows->alpha = true;
    rows->stride = view.stride;
    rows->pixels.assign(view.bytes, 0);
    if (ExtractBgra(picture, rows)) return true;
  }
  const Bgr24View view = Bgr24Of(nullptr, picture.width, picture.height);
  rows->alpha = false;
  rows->stride = view.stride;
  rows->pixels.assign(view.bytes, 0);
  rows->pixels.shrink_to_fit();
  return ConvertTo24(picture, rows->pixels.data());
}
