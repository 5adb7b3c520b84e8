"""The spicompose check: writes a sprite (a 32-bit TGA with alpha) and a
background (a 24-bit BMP), and afterwards compares the composites the tool
wrote with composites worked out here from the same pixels: the sprite's
colour premultiplied, c * (a + 1) >> 8, then over the background
D = F + (D * (255 - a) >> 8) for each channel.

    check_composite.py make FOLDER    writes sprite.tga and scene.bmp
    check_composite.py check FOLDER POSITION=FILE...
                                      FILE (BMP or PNG) must hold the sprite
                                      at POSITION (x,y of its top-left corner)
"""
import struct
import sys
from pathlib import Path

from check_xxgrp_files import read_bmp, read_png

SPRITE_SIZE = (23, 17)
SCENE_SIZE = (64, 40)


def sprite_pixel(x, y):
    """Blue, green, red, alpha: a soft disc on a clear ground."""
    w, h = SPRITE_SIZE
    dx, dy = x - w / 2, y - h / 2
    inside = max(0.0, 1.0 - (dx * dx + dy * dy) / (w * w / 4))
    return (40 + 9 * x) % 256, (200 - 7 * y) % 256, (x * y) % 256, min(255, int(inside * 400))


def scene_pixel(x, y):
    return (3 * x + y) % 256, (5 * y) % 256, (255 - 2 * x) % 256


def write_sprite(path):
    w, h = SPRITE_SIZE
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 0x28)  # top row first, 8 alpha bits
    rows = bytearray()
    for y in range(h):
        for x in range(w):
            rows += bytes(sprite_pixel(x, y))
    path.write_bytes(header + rows)


def write_scene(path):
    w, h = SCENE_SIZE
    stride = (w * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            row += bytes(scene_pixel(x, y))
        rows += row + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, 0, 0, 0, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54) + info + rows)


def expected_composite(left, top):
    """Top-down blue, green, red of the composite."""
    sw, sh = SPRITE_SIZE
    w, h = SCENE_SIZE
    out = bytearray()
    for y in range(h):
        for x in range(w):
            pixel = list(scene_pixel(x, y))
            sx, sy = x - left, y - top
            if 0 <= sx < sw and 0 <= sy < sh:
                *colour, a = sprite_pixel(sx, sy)
                for c in range(3):
                    pixel[c] = ((colour[c] * (a + 1)) >> 8) + ((pixel[c] * (255 - a)) >> 8)
            out += bytes(pixel)
    return bytes(out)


def check(folder, cases):
    failures = 0
    for case in cases:
        position, name = case.split("=", 1)
        left, top = (int(v) for v in position.split(","))
        path = folder / name
        reader = read_png if path.suffix.lower() == ".png" else read_bmp
        width, height, got = reader(path)
        expected = expected_composite(left, top)
        if (width, height) != SCENE_SIZE or got != expected:
            wrong = sum(1 for i in range(min(len(got), len(expected))) if got[i] != expected[i])
            print(f"FAIL {name}: {width}x{height}, {wrong} bytes differ from the composite at {left},{top}")
            failures += 1
        else:
            print(f"ok   {name}: the composite at {left},{top}, exactly")
    return failures


def main():
    command, folder = sys.argv[1], Path(sys.argv[2])
    if command == "make":
        write_sprite(folder / "sprite.tga")
        write_scene(folder / "scene.bmp")
        return 0
    return 1 if check(folder, sys.argv[3:]) else 0


if __name__ == "__main__":
    sys.exit(main())
