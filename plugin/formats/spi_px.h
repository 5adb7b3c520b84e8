#pragma once

#include "plugin/framework/spi_base.h"

// PX, the plain layout: one uncompressed picture of 8-bit grey or palette
// indices, 16-bit or 32-bit pixels behind the PX header, which may itself
// sit behind a 32-byte outer header.
class SpiPX : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
