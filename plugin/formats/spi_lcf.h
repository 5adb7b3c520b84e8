#pragma once

#include "plugin/framework/spi_base.h"

// LCF: a picture with transparency and a position offset, its pixels packed
// with inverted LZSS as records of an alpha byte and, unless the pixel is
// fully transparent, its blue, green and red.
class SpiLcf : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
