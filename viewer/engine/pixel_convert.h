// Pixel conversions of decoded pictures: to the 24-bit rows of a
// background, to the premultiplied or keyed 32-bit rows of a foreground,
// and from a foreground back to 24 bits for output. Every output is written
// bottom row first, whatever the order of the picture's stored rows, and
// every byte of it (row padding included) is written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "viewer/engine/dib.h"

// Shift that brings the top bit of `mask` to bit 7: positive shifts right,
// negative left (0x00FF0000 → 16, 0x7C00 → 7, 0x07E0 → 3, 0x1F → −3; 0 → 0).
int MaskShift(uint32_t mask);

// Writes the picture as 24-bit rows (Bgr24Of's stride) into `out`, which
// holds Bgr24Of(...).bytes of the picture's size. Handles 32 and
// 16 bits (by their masks), 24 bits (a copy), and 8, 4 and 1 bits through
// the colour table. False, with nothing written, for any other depth.
bool ConvertTo24(const DibPicture& picture, uint8_t* out);

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

// The foreground's premultiplied colour without its alpha (the foreground
// over black), as 24-bit rows into `out` of Bgr24Of(...).bytes of its size.
void Flatten(const Bgra32View& foreground, uint8_t* out);
