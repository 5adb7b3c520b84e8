#!/usr/bin/env python3
"""Draws Trellin's toolbar bitmap and program icon.

    make_images.py OUTPUT-FOLDER

writes toolbar.bmp (the eight 16 x 15 buttons side by side, 16 colours, in
the toolbar's order), toolbar-200.bmp (the same at twice the size, for
displays of 200 %, each pixel doubled so the pictures stay sharp) and
trellin.ico (64, 48, 32 and 16 pixels square, 32-bit colour with alpha).
All are drawn from the pictures below, so the build needs no binary files.
"""
import struct
import sys
from pathlib import Path

# The 16 standard colours; silver, the toolbar's background, is the colour
# the toolbar maps to the button face.
PALETTE = {
    "k": (0, 0, 0), "R": (128, 0, 0), "G": (0, 128, 0), "o": (128, 128, 0),
    "n": (0, 0, 128), "p": (128, 0, 128), "t": (0, 128, 128), ".": (192, 192, 192),
    "g": (128, 128, 128), "r": (255, 0, 0), "l": (0, 255, 0), "y": (255, 255, 0),
    "b": (0, 0, 255), "m": (255, 0, 255), "c": (0, 255, 255), "w": (255, 255, 255),
}
ORDER = list(PALETTE)

BUTTON_WIDTH, BUTTON_HEIGHT = 16, 15

# In the toolbar's order: new, force-open as foreground, composite and save,
# cut, composite and copy, paste, print, about.
BUTTONS = [
    # New: a blank page with a folded corner.
    """
    ................
    ...kkkkkkk......
    ...kwwwwwkk.....
    ...kwwwwwkwk....
    ...kwwwwwkkkk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kwwwwwwwwk...
    ...kkkkkkkkkk...
    ................
    """,
    # Force-open as foreground: a folder with a picture held in front of it.
    """
    ................
    .kkkkk..........
    kyyyyyk.........
    kykkkkkkkkk.....
    kyyyyyyyyyk.....
    kyyyyyykkkkkkkk.
    kyyyyyykwwwwwwk.
    kyyyyyykwwrrwwk.
    kyyyyyykwrrrrwk.
    kyyyyyykwwrrwwk.
    kkkkkkkkwGGGGwk.
    .......kwwwwwwk.
    .......kkkkkkkk.
    ................
    ................
    """,
    # Composite and save: a floppy disk.
    """
    ................
    .kkkkkkkkkkkkk..
    .kbkwwwwwwwkbk..
    .kbkwwwwwwwkbk..
    .kbkwwwwwwwkbk..
    .kbkwwwwwwwkbk..
    .kbbkkkkkkkbbk..
    .kbbbbbbbbbbbk..
    .kbbkkkkkkkbbk..
    .kbbkggkkkkbbk..
    .kbbkggkkkkbbk..
    .kbbkggkkkkbbk..
    ..kkkkkkkkkkkk..
    ................
    ................
    """,
    # Cut: scissors.
    """
    ................
    ....k.....k.....
    ....k.....k.....
    ....k.....k.....
    ....kk...kk.....
    .....k...k......
    .....kk.kk......
    ......kkk.......
    .......k........
    ......rkr.......
    ....rrr.rrr.....
    ...r..r.r..r....
    ...r..r.r..r....
    ...r..r.r..r....
    ....rr...rr.....
    """,
    # Composite and copy: two pages.
    """
    kkkkkk..........
    kwwwwkk.........
    kwkkwkwk........
    kwwwwkkkk.......
    kwkkkkkkkkk.....
    kwwwwkwwwwkk....
    kwkkkkwkkwkwk...
    kwwwwkwwwwkkkk..
    kwkkkkwkkkkkwk..
    kwwwwkwwwwwwwk..
    kkkkkkwkkkkkwk..
    .....kwwwwwwwk..
    .....kwkkkkkwk..
    .....kwwwwwwwk..
    .....kkkkkkkkk..
    """,
    # Paste: a clipboard with a page.
    """
    .....kkkk.......
    .kkkkyyyykkkk...
    kooookkkkoook...
    kooowwwwwwook...
    koookkkkkkook...
    kooooooooooook..
    kooookkkkkkkkk..
    kooookwwwwwwwk..
    kooookwkkkkkwk..
    kooookwwwwwwwk..
    kooookwkkkkkwk..
    kooookwwwwwwwk..
    kkkkkkwkkkkkwk..
    ......kwwwwwwk..
    ......kkkkkkkk..
    """,
    # Print: a printer with a sheet.
    """
    ................
    ....kkkkkkkk....
    ....kwwwwwwk....
    ....kwkkkkwk....
    ....kwwwwwwk....
    ..kkkkkkkkkkkk..
    .kggggggggggggk.
    .kgwwwwwwwwwwgk.
    .kggggggggggGgk.
    .kggggggggggggk.
    .kkkkkkkkkkkkkk.
    ..kwwwwwwwwwwk..
    ..kwkkkkkkkkwk..
    ..kwwwwwwwwwwk..
    ..kkkkkkkkkkkk..
    """,
    # About: a question mark.
    """
    ................
    .....nnnnnn.....
    ....nn....nn....
    ....nn....nn....
    ..........nn....
    .........nn.....
    ........nn......
    .......nn.......
    .......nn.......
    .......nn.......
    ................
    .......nn.......
    .......nn.......
    ................
    ................
    """,
]


def button_rows(picture):
    rows = [line.strip() for line in picture.strip().splitlines()]
    assert len(rows) == BUTTON_HEIGHT and all(len(r) == BUTTON_WIDTH for r in rows), picture
    return rows


def bitmap_info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def scaled(rows, scale):
    return [("".join(c * scale for c in row)) for row in rows for _ in range(scale)]


def toolbar_bitmap(scale):
    pictures = [scaled(button_rows(p), scale) for p in BUTTONS]
    width = BUTTON_WIDTH * scale * len(pictures)
    height = BUTTON_HEIGHT * scale
    stride = (width * 4 + 31) // 32 * 4
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom row first
        row = "".join(p[y] for p in pictures)
        packed = bytes(ORDER.index(row[x]) << 4 | ORDER.index(row[x + 1]) for x in range(0, width, 2))
        pixels += packed.ljust(stride, b"\0")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE.values())
    header = bitmap_info_header(width, height, 4, len(pixels), 16)
    offset = 14 + len(header) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + palette + pixels


def icon_pixel(x, y, size):
    """The program's picture: a red disc, partly transparent, laid over a
    blue picture on a chequered ground, inside a dark frame; BGRA."""
    u, v = (x + 0.5) / size, (y + 0.5) / size  # 0..1, top-left origin
    if u < 0.06 or u > 0.94 or v < 0.06 or v > 0.94:
        return (0, 0, 0, 0)
    if u < 0.12 or u > 0.88 or v < 0.12 or v > 0.88:
        return (64, 48, 48, 255)
    cell = int(u * 8) + int(v * 8)
    colour = (255, 255, 255) if cell % 2 == 0 else (200, 200, 200)
    if 0.18 < u < 0.62 and 0.40 < v < 0.82:
        colour = (200, 90, 30)  # blue, as BGR
    if (u - 0.60) ** 2 + (v - 0.42) ** 2 < 0.26**2:
        disc = (40, 40, 230)  # red, as BGR
        colour = tuple((3 * d + c) // 4 for d, c in zip(disc, colour))
    return colour + (255,)


def icon_image(size):
    pixels = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for y in reversed(range(size)):  # bottom row first
        bits = 0
        for x in range(size):
            b, g, r, a = icon_pixel(x, y, size)
            pixels += bytes((b, g, r, a))
            bits = bits << 1 | (a == 0)
        mask += bits.to_bytes(size // 8, "big").ljust(mask_stride, b"\0")
    # An icon's header counts the colour and mask rows together.
    return bitmap_info_header(size, 2 * size, 32, len(pixels) + len(mask), 0) + pixels + mask


ICON_SIZES = (64, 48, 32, 16)


def icon_file():
    images = [icon_image(size) for size in ICON_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(ICON_SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "toolbar.bmp").write_bytes(toolbar_bitmap(1))
    (out / "toolbar-200.bmp").write_bytes(toolbar_bitmap(2))
    (out / "trellin.ico").write_bytes(icon_file())


if __name__ == "__main__":
    main()
