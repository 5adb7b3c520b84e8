// Thumbnails: a picture reduced to fit a square, its aspect kept, every
// thumbnail pixel the average of the area of the picture it covers. Colour
// is averaged weighted by alpha, so that the colour of fully transparent
// pixels never bleeds into the edges of what is seen.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/codec_picture.h"

struct ThumbnailSize {
  uint32_t width;
  uint32_t height;
};

// The size that fits `edge` × `edge`: the longer side becomes `edge`, the
// other is rounded and at least 1. A picture already within it keeps its
// own size: enlarging is the viewer's business. An edge of 0 is taken as 1.
ThumbnailSize FitThumbnail(uint32_t width, uint32_t height, uint32_t edge);

// One row of the picture as straight blue, green, red, alpha bytes.
void RowToBgra(const PictureView& view, uint32_t y, uint8_t* out);

// Reduces the picture to `size` (no larger than the picture either way)
// as straight BGRA rows of 4 × width bytes, top row first. False without
// memory for the working rows or for a size larger than the picture.
bool ReduceToBgra(const PictureView& view, ThumbnailSize size, uint8_t* out);
