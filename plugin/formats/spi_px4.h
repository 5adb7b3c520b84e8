#pragma once

#include "plugin/framework/spi_base.h"

// PX format 11: a 32-bit picture cut into square cells, each empty, filled
// with a colour from a table, or drawn from a stored tile of its own width.
// The file may hold several frames; only the first is decoded.
class SpiPX4 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
