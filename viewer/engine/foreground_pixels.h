// The pixels of a foreground: 32-bit blue, green, red, alpha with the
// colour premultiplied by alpha, made from a decoded picture with alpha or
// keyed from one without. Keying writes bottom row first, whatever the
// order of the picture's stored rows; premultiplying works in place and
// keeps the rows where they are.
#pragma once

#include <cstdint>

#include "viewer/engine/dib.h"

// Multiplies the colour of every pixel of a 32-bit picture by its alpha,
// c × (a + 1) >> 8, in place. `pixels` is laid out as picture.pixels (the
// adopted block itself or a copy of it). The result is blue, green, red,
// alpha whatever the picture's masks. False, with nothing changed, unless
// the picture has 32 bits per pixel.
bool Premultiply(uint8_t* pixels, const DibPicture& picture);

// Makes a foreground of a picture without alpha, into `out`, width × height
// 32-bit pixels (4 × width bytes a row). 24 bits: every pixel of the colour
// of the first stored pixel becomes transparent black, the rest opaque.
// 8, 4, 1 bits: index 0 becomes transparent black, any other index its
// colour-table entry, opaque. Every pixel is written, so `out` need not be
// zero-filled. False, with nothing written, for 16 and 32 bits (they have
// no key) and any other depth.
bool KeyForeground(const DibPicture& picture, uint8_t* out);
