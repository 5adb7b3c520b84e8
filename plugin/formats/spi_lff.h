#pragma once

#include "plugin/framework/spi_base.h"

// LFF: the bottom-up rows of a 24-bit bitmap, packed with inverted LZSS.
class SpiLff : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
