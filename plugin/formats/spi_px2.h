#pragma once

#include "plugin/framework/spi_base.h"

// PX format 4: a 32-bit picture with alpha stored as a run list on an
// otherwise transparent picture.
class SpiPX2 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
