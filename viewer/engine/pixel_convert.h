// Pixel conversions to 24 bits: of decoded pictures to the rows of a
// background, and of a foreground back to 24 bits for output. Every output
// is written bottom row first, whatever the order of the picture's stored
// rows, and every byte of it (row padding included) is written. The
// foreground's own pixels are foreground_pixels.h's.
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

// The foreground's premultiplied colour without its alpha (the foreground
// over black), as 24-bit rows into `out` of Bgr24Of(...).bytes of its size.
void Flatten(const Bgra32View& foreground, uint8_t* out);
