// Writers of the picture formats the Windows Imaging Component reads, of
// our own making, so that the decoder tests never depend on the encoders
// they could hide a fault of.
#pragma once

#include <optional>

#include "tests/fixtures/picture.h"

// A BMP file: BITMAPFILEHEADER, BITMAPINFOHEADER, rows bottom-up. The
// picture has 3 (BGR) or 4 (BGRA) bytes per pixel.
Bytes WriteBmp(const Picture& picture);
// A PNG file, 8 bits per channel: RGB from a 3-byte picture, RGBA from a
// 4-byte one. Rows use the filter `filter` (0 to 4).
Bytes WritePng(const Picture& picture, int filter = 0);
// An icon with one 32-bit image stored as a bitmap (pixels and an empty mask).
Bytes WriteIcoBitmap(const Picture& bgra);
// An icon with one image stored as a PNG file.
Bytes WriteIcoPng(const Picture& bgra);
// An uncompressed little-endian TIFF: one strip of RGB rows.
Bytes WriteTiff(const Picture& bgr);
// A GIF89a file of palette indices (1 byte per pixel) with a 256-entry
// palette (blue, green, red, fourth byte), optionally with a transparent index.
Bytes WriteGif(const Picture& indices, const Palette& palette, std::optional<uint8_t> transparentIndex);
