#pragma once

#include "plugin/framework/spi_base.h"

// LGF: uncompressed rows stored top row first; 8-bit indexed with its
// palette, 8-bit indexed expanded through the palette to 32 bits with
// alpha, or direct 16-, 24- or 32-bit pixels.
class SpiLgf : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
