#pragma once

#include "plugin/framework/spi_base.h"

// Uncompressed TGA: true-colour (type 2) and colour-mapped (type 1), no
// image-ID field. An 8-bit image with a 32-bit colour map is expanded to
// 32 bits with the map's alpha.
class SpiTga : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
