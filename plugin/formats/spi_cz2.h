#pragma once

#include "plugin/framework/spi_base.h"

// CZ2: the strip layout of CZ1 with a one-byte strip count; each strip is
// one LZSS stream of 4-byte pixels stored as running differences per
// channel in scan order.
class SpiCZ2 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
