// Decoding through the Windows Imaging Component into the two movable
// blocks a Susie host expects: a BITMAPINFOHEADER and bottom-up rows of
// 24 bits, or of 32 bits with straight alpha when the source has alpha.
#pragma once

#include "base/blocks.h"
#include "base/bytes.h"

// Size and depth of the first frame; the depth is the source's bits per pixel.
SpiResult ReadPictureInfo(ByteSpan file, PictureInfo* info);

// Decodes the first frame (first page, animation frame or icon image).
// The handles are written on Ok only; on any failure nothing stays allocated.
SpiResult DecodePicture(ByteSpan file, DecodeTarget target, const Progress& progress);
