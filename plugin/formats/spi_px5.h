#pragma once

#include "plugin/framework/spi_base.h"

// PX format 12: frames of a 32-bit picture cut into square cells, each empty
// or drawn from a stored tile that carries a two-pixel margin. Every frame
// is decoded and the frames are stacked into one tall picture.
class SpiPX5 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
