#!/usr/bin/env python3
"""Lays the thumbnails the codec test wrote out on one sheet, as Explorer
shows a folder of them: each on a light checkerboard (where it is
transparent), its file name below.

  thumbnail-sheet.py FOLDER OUTPUT.png

FOLDER holds NAME.WIDTHxHEIGHT.bgra files: the provider's straight-alpha
rows, top row first."""
import sys
from pathlib import Path

from PIL import Image, ImageDraw

CELL, LABEL, COLUMNS = 112, 18, 6


def checkerboard(size):
    board = Image.new("RGBA", (size, size), (255, 255, 255, 255))
    draw = ImageDraw.Draw(board)
    for y in range(0, size, 8):
        for x in range(0, size, 8):
            if (x // 8 + y // 8) % 2:
                draw.rectangle([x, y, x + 7, y + 7], fill=(220, 220, 220, 255))
    return board


def main():
    folder, output = Path(sys.argv[1]), Path(sys.argv[2])
    files = sorted(folder.glob("*.bgra"))
    if not files:
        sys.exit(f"thumbnail-sheet: no thumbnails in {folder}")
    rows = (len(files) + COLUMNS - 1) // COLUMNS
    sheet = Image.new("RGBA", (COLUMNS * CELL, rows * (CELL + LABEL)), (255, 255, 255, 255))
    draw = ImageDraw.Draw(sheet)
    for i, path in enumerate(files):
        name, size = path.stem.rsplit(".", 1)
        width, height = (int(v) for v in size.split("x"))
        b, g, r, a = Image.frombytes("RGBA", (width, height), path.read_bytes()).split()
        picture = Image.merge("RGBA", (r, g, b, a))
        x, y = (i % COLUMNS) * CELL, (i // COLUMNS) * (CELL + LABEL)
        sheet.paste(checkerboard(CELL - 16), (x + 8, y + 8))
        sheet.alpha_composite(picture, (x + 8 + (CELL - 16 - width) // 2, y + 8 + (CELL - 16 - height) // 2))
        draw.text((x + 8, y + CELL), name, fill=(0, 0, 0, 255))
    sheet.convert("RGB").save(output)
    print(f"codec: {len(files)} thumbnails on {output}")


if __name__ == "__main__":
    main()
