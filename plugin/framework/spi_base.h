// The decoder base class: one subclass per format, each building its result
// with the shared blocks and header of base/blocks.h.
#pragma once

#include "base/blocks.h"
#include "base/bytes.h"
#include "base/sizes.h"
#include "base/susie_abi.h"

// A decoder of one format. Objects carry no data and live for one call.
class SpiBase {
 public:
  virtual ~SpiBase() = default;
  // Fills every field of `info` from the header; must work from the first
  // 2,048 bytes of the image alone.
  virtual SpiResult GetInfo(ByteSpan data, PictureInfo* info) = 0;
  // Decodes the whole image into two movable blocks, handed over on Ok only.
  virtual SpiResult Decode(ByteSpan data, DecodeTarget target, const Progress& progress) = 0;
};
