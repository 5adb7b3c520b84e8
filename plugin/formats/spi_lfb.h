#pragma once

#include "plugin/framework/spi_base.h"

// LFB: a whole Windows bitmap file packed with inverted LZSS. A bitmap that
// declares 16 bits per pixel is the format's alpha form: (alpha, palette
// index) byte pairs, which come out as 32-bit pixels with alpha.
class SpiLfb : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
