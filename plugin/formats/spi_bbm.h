#pragma once

#include "plugin/framework/spi_base.h"

// BBM: a grid of equal tiles, each a small colour-mapped TGA record with
// 8-bit indices, assembled into one true-colour picture.
class SpiBbm : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
