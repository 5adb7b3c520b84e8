"""Pictures for the tests that run our Windows programs, made here, and the
checks of what those programs wrote, read here independently of Windows:
BMP and PNG are parsed by this module, only JPEG is decoded by Pillow.

    pictures.py make FOLDER
        sprite.tga    96x64, 32 bits with alpha (a soft disc on a clear ground)
        scene.bmp     480x320, 24 bits: the background
        scene2.bmp    400x300, 24 bits: a second background (dropped, pasted)
        wide.bmp      960x640, 24 bits: a background larger than the window (scrolled)
        sprite32.bmp  the sprite as a 32-bit BI_RGB bitmap (pasted)
        keyed24.tga   80x60, 24 bits, stored bottom row first; its bottom-left
                      colour recurs in it, beside colours one step away
        keyed8.tga    80x60, colour-mapped; index 0 and index 5 have the same colour
        keyed8.bmp    the same as an 8-bit bitmap with a 256-entry colour table (pasted)
        broken.tga    a TGA header that promises more rows than the file holds

    pictures.py make-large FOLDER
        large-sprite.tga  800x600, 32 bits with alpha
        large-scene.bmp   1920x1080, 24 bits (for timing drag steps)

    pictures.py check FOLDER FILE BACKGROUND FOREGROUND X,Y [ZOOM]
        FILE (BMP, PNG or JPEG; JPEG within a tolerance) must hold FOREGROUND
        over BACKGROUND with its top-left corner at X,Y. BACKGROUND is a
        picture's name or "none": the foreground alone over black, as the
        viewer flattens it. FOREGROUND is sprite, keyed24, keyed8 or "none".
        With ZOOM, a whole factor, the composite enlarged by it, each pixel
        repeated ZOOM times across and down (a screenshot of a zoomed view).

    pictures.py same-pixels BMP-FOLDER PNG-FOLDER
        spiconv's files: every NAME.png under PNG-FOLDER must hold the pixels
        and alpha of NAME.bmp at the same place under BMP-FOLDER (a plug-in's
        bitmap as it handed it over). A bitmap without alpha (fewer than 32
        bits, or 32 bits whose fourth bytes are all 0) is opaque; 16-bit
        channels widen as the viewer widens them, c << 3.

    pictures.py check-writer FOLDER
        the files xxgrp.dll's test wrote: for every NAME.bgr (width and
        height as 32-bit little-endian numbers, then the pixels top row
        first as blue, green, red) NAME.bmp and NAME.png must hold exactly
        those pixels, and NAME.jpg, where present, nearly.

The composite is worked out as the viewer and spicompose work it: the
foreground's colour premultiplied, c * (a + 1) >> 8, then blended per
channel, D = F + (D * (255 - a) >> 8); keyed pictures have alpha 0 where
the key is and 255 elsewhere.
"""
import struct
import sys
import zlib
from pathlib import Path

# The writer asks for JPEG quality 0.9; an encoder that ignores the request
# (Wine's keeps libjpeg's default, 75) still stays under these bounds on
# smooth pictures: there the mean is about 2 levels and no sample is off
# by more than about 11.
JPEG_MEAN_ERROR = 3.0
JPEG_LARGEST_ERROR = 24
# The sprite's stripes are sharper than the writer's own test pictures:
# JPEG's colour subsampling moves single samples at their edges far, so
# there besides the mean only nearly all samples, not every one, must be
# within the largest error.
JPEG_CLOSE_SHARE = 0.99


# ---------------------------------------------------------------- readers
# Each gives (width, height, blue, green, red bytes top row first).

def read_bmp(path):
    """A BI_RGB bitmap of 24 or 32 bits as (width, height, top-down BGR)."""
    data = path.read_bytes()
    if data[:2] != b"BM":
        raise ValueError("no BM signature")
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if header_size < 40 or planes != 1 or compression != 0 or bits not in (24, 32):
        raise ValueError(f"header size {header_size}, planes {planes}, {bits} bits, compression {compression}")
    if offset < 14 + header_size:
        raise ValueError(f"pixels at {offset} overlap the header")
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    if len(data) < offset + stride * rows:
        raise ValueError("file shorter than its rows")
    out = bytearray()
    step = bits // 8
    for y in range(rows):
        stored = rows - 1 - y if height > 0 else y
        row = data[offset + stored * stride: offset + stored * stride + width * step]
        for x in range(width):
            out += row[x * step: x * step + 3]
    return width, rows, bytes(out)


def paeth(left, up, up_left):
    p = left + up - up_left
    pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
    if pa <= pb and pa <= pc:
        return left
    return up if pb <= pc else up_left


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows = []
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1: at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            up_left = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, up_left)) & 0xFF
            elif kind != 0:
                raise ValueError(f"filter {kind}")
        rows.append(bytes(line))
        previous = line
    return rows


def png_pixels(path):
    """An 8-bit RGB, RGBA or palette PNG, not interlaced, as (width, height,
    top-down BGRA, whether it has an alpha channel)."""
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    at, header, palette, compressed = 8, None, None, bytearray()
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8: at + 8 + length]
        crc, = struct.unpack_from(">I", data, at + 8 + length)
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad CRC in {kind!r}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4, 3: 1}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError(f"depth {depth}, colour type {colour}, interlace {interlace}")
    out = bytearray()
    for line in unfilter(zlib.decompress(bytes(compressed)), width, height, channels):
        for x in range(width):
            if colour == 3:
                r, g, b = palette[line[x] * 3: line[x] * 3 + 3]
            else:
                r, g, b = line[x * channels: x * channels + 3]
            out += bytes((b, g, r, line[x * 4 + 3] if channels == 4 else 255))
    return width, height, bytes(out), channels == 4


def read_png(path):
    """An 8-bit RGB, RGBA or palette PNG, not interlaced, as top-down BGR."""
    width, height, bgra, _ = png_pixels(path)
    bgr = bytearray(len(bgra) // 4 * 3)
    for channel in range(3):
        bgr[channel::3] = bgra[channel::4]
    return width, height, bytes(bgr)


def bitmap_pixels(path):
    """A BI_RGB bitmap of 1, 4, 8, 16, 24 or 32 bits as (width, height, top-down
    BGRA, whether it has alpha): a 32-bit bitmap whose fourth bytes are all 0
    has none, and every pixel of a bitmap without alpha is opaque."""
    data = path.read_bytes()
    if data[:2] != b"BM":
        raise ValueError("no BM signature")
    offset, = struct.unpack_from("<I", data, 10)
    header_size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    colours, = struct.unpack_from("<I", data, 46)
    if header_size < 40 or planes != 1 or compression != 0 or bits not in (1, 4, 8, 16, 24, 32):
        raise ValueError(f"header size {header_size}, planes {planes}, {bits} bits, compression {compression}")
    table = data[14 + header_size: offset]
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    if len(data) < offset + stride * rows:
        raise ValueError("file shorter than its rows")
    out = bytearray()
    for y in range(rows):
        stored = rows - 1 - y if height > 0 else y
        row = data[offset + stored * stride: offset + (stored + 1) * stride]
        for x in range(width):
            if bits >= 24:
                step = bits // 8
                out += row[x * step: x * step + 3] + bytes((row[x * 4 + 3] if bits == 32 else 255,))
            elif bits == 16:
                pixel, = struct.unpack_from("<H", row, x * 2)
                out += bytes(((pixel & 0x1F) << 3, (pixel >> 5 & 0x1F) << 3, (pixel >> 10 & 0x1F) << 3, 255))
            else:
                per_byte = 8 // bits
                index = row[x // per_byte] >> (8 - bits * (x % per_byte + 1)) & ((1 << bits) - 1)
                if index >= (colours or 1 << bits) or 4 * index + 3 > len(table):
                    out += b"\0\0\0\xff"  # beyond the table: black
                else:
                    out += table[4 * index: 4 * index + 3] + b"\xff"
    alpha = bits == 32 and any(out[3::4])
    if not alpha:
        out[3::4] = b"\xff" * (len(out) // 4)
    return width, rows, bytes(out), alpha


def read_jpeg(path):
    from PIL import Image
    with Image.open(path) as image:
        if image.format != "JPEG":
            raise ValueError(f"Pillow reads {image.format}")
        rgb = image.convert("RGB")
        width, height = rgb.size
        raw = rgb.tobytes()
    return width, height, bytes(raw[i + 2 - j] for i in range(0, len(raw), 3) for j in range(3))


def read_expected(path):
    data = path.read_bytes()
    width, height = struct.unpack_from("<II", data)
    pixels = data[8:]
    if len(pixels) != width * height * 3:
        raise ValueError(f"{path.name}: {len(pixels)} pixel bytes for {width}x{height}")
    return width, height, pixels


# ------------------------------------------------- the tests' pictures

SPRITE = (96, 64)
SCENE = (480, 320)
SCENE2 = (400, 300)
WIDE = (960, 640)
KEYED = (80, 60)
KEY24 = (0, 255, 0)  # blue, green, red of the bottom-left pixel
PALETTE_0 = (10, 20, 30)


def sprite_pixel(x, y):
    """Blue, green, red, alpha: opaque in the middle, fading to clear."""
    w, h = SPRITE
    dx, dy = (x - w / 2) / (w / 2), (y - h / 2) / (h / 2)
    inside = max(0.0, 1.0 - (dx * dx + dy * dy))
    return (40 + 2 * x) % 256, (200 - 3 * y) % 256, (x * y) % 256, min(255, int(inside * 600))


def scene_pixel(x, y):
    return (x // 2) % 256, (y * 3 // 4) % 256, (255 - (x + y) // 4) % 256


def scene2_pixel(x, y):
    return (90 + y // 3) % 256, (x // 2) % 256, 140


def keyed24_pixel(x, y):
    """Top-down; the bottom row starts with the key, which recurs in stripes."""
    if (x + y) % 7 == 0 or (x == 0 and y == KEYED[1] - 1):
        return KEY24
    if (x + y) % 7 == 1:
        return (0, 255, 1)  # one step from the key: stays opaque
    return (3 * x) % 256, (4 * y) % 256, 60


def keyed8_index(x, y):
    return (x // 10 + y // 10) % 8


def keyed8_palette(index):
    """Blue, green, red; entries 0 and 5 have the same colour."""
    if index in (0, 5):
        return PALETTE_0
    return (30 * index) % 256, (200 - 20 * index) % 256, (50 + 25 * index) % 256


def rows_of(size, pixel):
    w, h = size
    return [[pixel(x, y) for x in range(w)] for y in range(h)]


# Each picture as the viewer's foreground sees it: straight blue, green,
# red, alpha, top row first.
FOREGROUNDS = {
    "sprite": lambda: rows_of(SPRITE, sprite_pixel),
    "keyed24": lambda: rows_of(KEYED, lambda x, y: keyed24_pixel(x, y) + ((0,) if keyed24_pixel(x, y) == KEY24 else (255,))),
    "keyed8": lambda: rows_of(KEYED, lambda x, y: keyed8_palette(keyed8_index(x, y)) +
                                                   ((0,) if keyed8_index(x, y) == 0 else (255,))),
}
BACKGROUNDS = {
    "scene": lambda: rows_of(SCENE, scene_pixel),
    "scene2": lambda: rows_of(SCENE2, scene2_pixel),
    "wide": lambda: rows_of(WIDE, scene_pixel),
    "keyed8": lambda: rows_of(KEYED, lambda x, y: keyed8_palette(keyed8_index(x, y))),
}


def tga(size, image_type, depth, descriptor, pixels, colour_map=b"", map_entries=0):
    w, h = size
    header = struct.pack("<BBBHHBHHHHBB", 0, 1 if colour_map else 0, image_type, 0, map_entries,
                         24 if colour_map else 0, 0, 0, w, h, depth, descriptor)
    return header + colour_map + pixels


def write_tga_bgra_top_down(path, size, rows):
    pixels = b"".join(bytes(p) for row in rows for p in row)
    path.write_bytes(tga(size, 2, 32, 0x28, pixels))


def write_tga_bgr_bottom_up(path, size, rows):
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    path.write_bytes(tga(size, 2, 24, 0x00, pixels))


def write_tga_mapped_bottom_up(path, size, indices, palette):
    pixels = bytes(i for row in reversed(indices) for i in row)
    colour_map = b"".join(bytes(palette(i)) for i in range(256))
    path.write_bytes(tga(size, 1, 8, 0x00, pixels, colour_map, 256))


def write_bmp(path, size, rows, bits):
    """BI_RGB, bottom row first; rows of blue, green, red (and alpha for 32 bits)."""
    w, h = size
    step = bits // 8
    stride = (w * bits + 31) // 32 * 4
    body = bytearray()
    for row in reversed(rows):
        line = b"".join(bytes(p[:step]) for p in row)
        body += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(body), 0, 0, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 14 + 40 + len(body), 0, 0, 54) + info + body)


def write_bmp_8(path, size, indices, palette):
    w, h = size
    stride = (w + 3) // 4 * 4
    body = b"".join(bytes(row) + bytes(stride - w) for row in reversed(indices))
    table = b"".join(bytes(palette(i)) + b"\0" for i in range(256))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(body), 0, 0, 0, 0)
    offset = 14 + 40 + len(table)
    path.write_bytes(b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + info + table + body)


def make(folder):
    folder.mkdir(parents=True, exist_ok=True)
    sprite = FOREGROUNDS["sprite"]()
    write_tga_bgra_top_down(folder / "sprite.tga", SPRITE, sprite)
    write_bmp(folder / "sprite32.bmp", SPRITE, sprite, 32)
    write_bmp(folder / "scene.bmp", SCENE, BACKGROUNDS["scene"](), 24)
    write_bmp(folder / "scene2.bmp", SCENE2, BACKGROUNDS["scene2"](), 24)
    write_bmp(folder / "wide.bmp", WIDE, BACKGROUNDS["wide"](), 24)
    write_tga_bgr_bottom_up(folder / "keyed24.tga", KEYED, rows_of(KEYED, keyed24_pixel))
    write_tga_mapped_bottom_up(folder / "keyed8.tga", KEYED, rows_of(KEYED, keyed8_index), keyed8_palette)
    write_bmp_8(folder / "keyed8.bmp", KEYED, rows_of(KEYED, keyed8_index), keyed8_palette)
    whole = tga(KEYED, 2, 24, 0, bytes(KEYED[0] * KEYED[1] * 3))
    (folder / "broken.tga").write_bytes(whole[:18 + 100])


def make_large(folder):
    """Repeating rows: a pixel loop over the background would take seconds."""
    folder.mkdir(parents=True, exist_ok=True)
    w, h = 800, 600
    rows = bytearray()
    for y in range(h):
        for x in range(w):
            inside = min(x, w - 1 - x, y, h - 1 - y) > 40
            rows += bytes((x % 256, y % 256, 128, 255 if inside else 0))
    (folder / "large-sprite.tga").write_bytes(tga((w, h), 2, 32, 0x28, bytes(rows)))
    w, h = 1920, 1080
    body = bytearray()
    for y in range(h):
        body += bytes(((x // 8) % 256 if c == 0 else (y // 5) % 256 if c == 1 else 90)
                      for x in range(w) for c in range(3)) if y % 60 == 0 else body[-w * 3:]
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 0, 0, 0, 0)
    (folder / "large-scene.bmp").write_bytes(b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54) + info + body)


# ------------------------------------------------------ the composite

def blend(back, front):
    *colour, a = front
    return tuple(((c * (a + 1)) >> 8) + ((b * (255 - a)) >> 8) for c, b in zip(colour, back))


def expected(background, foreground, left, top):
    """(width, height, top-down BGR bytes) of what the viewer writes."""
    front = FOREGROUNDS[foreground]() if foreground != "none" else None
    if background == "none":
        rows = [[blend((0, 0, 0), p) for p in row] for row in front]
    else:
        rows = BACKGROUNDS[background]()
        for y, row in enumerate(front or []):
            if not 0 <= y + top < len(rows):
                continue
            target = rows[y + top]
            for x, p in enumerate(row):
                if 0 <= x + left < len(target):
                    target[x + left] = blend(target[x + left], p)
    return len(rows[0]), len(rows), b"".join(bytes(p) for row in rows for p in row)

# ------------------------------------------------------------- comparison

def difference(want, got, close_share=None):
    """(problem or None, what was measured) for pictures as the readers give
    them. Exact without close_share; with it, within the JPEG tolerance: the
    mean error, and that share of the samples within the largest error."""
    if want[:2] != got[:2]:
        return f"{got[0]}x{got[1]}, expected {want[0]}x{want[1]}", ""
    errors = [abs(a - b) for a, b in zip(want[2], got[2])]
    if close_share is None:
        wrong = sum(1 for e in errors if e)
        if not wrong:
            return None, "exactly"
        pixel = next(i for i, e in enumerate(errors) if e) // 3
        return f"{wrong} samples differ, the first at x={pixel % want[0]}, y={pixel // want[0]}", ""
    mean = sum(errors) / len(errors)
    close = sum(1 for e in errors if e <= JPEG_LARGEST_ERROR) / len(errors)
    measured = f"mean error {mean:.2f}, {close:.1%} of the samples within {JPEG_LARGEST_ERROR}"
    return (measured if mean > JPEG_MEAN_ERROR or close < close_share else None), measured


def read_any(path):
    """The picture of a BMP, PNG or JPEG file, and whether it is JPEG."""
    data = path.read_bytes()
    if data[:2] == b"BM":
        return read_bmp(path), False
    if data[:4] == b"\x89PNG":
        return read_png(path), False
    if data[:2] == b"\xff\xd8":
        return read_jpeg(path), True
    raise ValueError("neither BMP, PNG nor JPEG")


# --------------------------------------------------------------- commands

def enlarged(picture, factor):
    """(width, height, top-down BGR bytes) with each pixel repeated."""
    width, height, pixels = picture
    rows = []
    for y in range(height):
        row = b"".join(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3] * factor for x in range(width))
        rows += [row] * factor
    return width * factor, height * factor, b"".join(rows)


def check(folder, name, background, foreground, position, zoom="1"):
    left, top = (int(v) for v in position.split(","))
    factor = int(zoom)
    what = f"{foreground} over {background} at {left},{top}" + (f" at {factor * 100} %" if factor != 1 else "")
    try:
        got, jpeg = read_any(folder / name)
    except (OSError, ValueError, struct.error, zlib.error) as error:
        print(f"FAIL {name}: unreadable: {error}")
        return 1
    problem, measured = difference(enlarged(expected(background, foreground, left, top), factor), got,
                                   JPEG_CLOSE_SHARE if jpeg else None)
    if problem:
        print(f"FAIL {name}: not {what}: {problem}")
        return 1
    print(f"ok   {name}: {what}, {measured}")
    return 0


def same_pixels(bmp_folder, png_folder):
    passed = failed = with_alpha = 0
    files = sorted(Path(png_folder).rglob("*.png"))
    if not files:
        print(f"no .png files under {png_folder}")
        return 1
    for png in files:
        name = png.relative_to(png_folder)
        try:
            width, height, want, alpha = bitmap_pixels(Path(bmp_folder) / name.with_suffix(".bmp"))
            got_width, got_height, got, png_alpha = png_pixels(png)
            if (got_width, got_height) != (width, height):
                problem = f"{got_width}x{got_height}, not {width}x{height}"
            elif png_alpha != alpha:
                problem = "alpha channel " + ("missing" if alpha else "where the bitmap has none")
            elif got != want:
                first = next(i for i in range(len(want)) if want[i] != got[i]) // 4
                problem = f"pixels differ, the first at x={first % width}, y={first // width}"
            else:
                problem = None
        except (OSError, ValueError, struct.error, zlib.error, TypeError) as error:
            problem = f"unreadable: {error}"
        if problem:
            failed += 1
            print(f"FAIL {name}: {problem}")
        else:
            passed += 1
            with_alpha += alpha
            print(f"ok   {name} ({width}x{height}{', alpha' if alpha else ''})")
    print(f"{with_alpha} with alpha")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


def check_writer(folder):
    passed = failed = 0
    cases = sorted(Path(folder).glob("*.bgr"))
    if not cases:
        print(f"no .bgr files in {folder}")
        return 1
    for case in cases:
        want = read_expected(case)
        for suffix, required in ((".bmp", True), (".png", True), (".jpg", False)):
            path = case.with_suffix(suffix)
            if not path.exists() and not required:
                continue
            try:
                got, jpeg = read_any(path)
                problem, measured = difference(want, got, 1.0 if jpeg else None)
            except (OSError, ValueError, KeyError, struct.error, zlib.error, TypeError) as error:
                problem = f"unreadable: {error}"
            if problem:
                failed += 1
                print(f"FAIL {path.name}: {problem}")
            else:
                passed += 1
                print(f"ok   {path.name} ({measured})")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


def main():
    command, args = (sys.argv[1], sys.argv[2:]) if len(sys.argv) > 1 else ("", [])
    if command == "make" and len(args) == 1:
        make(Path(args[0]))
        return 0
    if command == "make-large" and len(args) == 1:
        make_large(Path(args[0]))
        return 0
    if command == "check" and len(args) in (5, 6):
        return check(Path(args[0]), *args[1:])
    if command == "same-pixels" and len(args) == 2:
        return same_pixels(*args)
    if command == "check-writer" and len(args) == 1:
        return check_writer(args[0])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
