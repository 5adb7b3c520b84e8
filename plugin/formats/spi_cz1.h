#pragma once

#include "plugin/framework/spi_base.h"

// CZ1: a 24- or 32-bit picture in strips of rows. Each row holds its
// channels as planes, stored raw or as a zlib stream, optionally with a
// difference filter along the row or against the row above.
class SpiCZ1 : public SpiBase {
 public:
  SpiResult GetInfo(ByteSpan data, PictureInfo* info) override;
  SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) override;
};
