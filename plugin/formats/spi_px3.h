#pragma once

#include "plugin/framework/spi_base.h"

// PX formats 64 and 68: a picture assembled from sub-images, each drawn
// over its own rectangle. Format 64 holds 32-bit run lists with alpha;
// format 68 a palette and then 8-bit run lists or indexed runs with
// optional per-pixel alpha.
class SpiPX3 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
