"""Reads the files xxgrp.dll wrote, independently of Windows, and compares
them with the pixels they were written from.

For every NAME.bgr in the folder (width and height as 32-bit little-endian
numbers, then the pixels top row first as blue, green, red) NAME.bmp and
NAME.png must hold exactly those pixels, and NAME.jpg, where present, must
come within JPEG_MEAN_ERROR on average and JPEG_LARGEST_ERROR at any one
sample. BMP and PNG are parsed here; only JPEG is decoded by Pillow.

    check_xxgrp_files.py FOLDER
"""
import struct
import sys
import zlib
from pathlib import Path

# The writer asks for JPEG quality 0.9; an encoder that ignores the request
# (Wine's keeps libjpeg's default, 75) still stays under these bounds on
# the smooth test pictures: there the mean is about 2 levels and no sample
# is off by more than about 11.
JPEG_MEAN_ERROR = 3.0
JPEG_LARGEST_ERROR = 24


def read_expected(path):
    data = path.read_bytes()
    width, height = struct.unpack_from("<II", data)
    pixels = data[8:]
    if len(pixels) != width * height * 3:
        raise ValueError(f"{path.name}: {len(pixels)} pixel bytes for {width}x{height}")
    return width, height, pixels


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


def read_png(path):
    """An 8-bit RGB, RGBA or palette PNG, not interlaced, as top-down BGR."""
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
            out += bytes((b, g, r))
    return width, height, bytes(out)


def read_jpeg(path):
    from PIL import Image
    with Image.open(path) as image:
        if image.format != "JPEG":
            raise ValueError(f"Pillow reads {image.format}")
        rgb = image.convert("RGB")
        width, height = rgb.size
        raw = rgb.tobytes()
    return width, height, bytes(raw[i + 2 - j] for i in range(0, len(raw), 3) for j in range(3))


# Each comparison returns (problem or None, what was measured).
def compare_exact(expected, got):
    if expected[:2] != got[:2]:
        return f"size {got[0]}x{got[1]}, expected {expected[0]}x{expected[1]}", ""
    if expected[2] != got[2]:
        first = next(i for i, (a, b) in enumerate(zip(expected[2], got[2])) if a != b)
        return f"first different sample at byte {first}", ""
    return None, "bit-exact"


def compare_close(expected, got):
    if expected[:2] != got[:2]:
        return f"size {got[0]}x{got[1]}, expected {expected[0]}x{expected[1]}", ""
    errors = [abs(a - b) for a, b in zip(expected[2], got[2])]
    measured = f"mean error {sum(errors) / len(errors):.2f}, largest {max(errors)}"
    if sum(errors) / len(errors) > JPEG_MEAN_ERROR or max(errors) > JPEG_LARGEST_ERROR:
        return measured, measured
    return None, measured


def main(folder):
    passed = failed = 0
    cases = sorted(Path(folder).glob("*.bgr"))
    if not cases:
        print(f"no .bgr files in {folder}")
        return 1
    for case in cases:
        expected = read_expected(case)
        checks = [(".bmp", read_bmp, compare_exact, True), (".png", read_png, compare_exact, True),
                  (".jpg", read_jpeg, compare_close, False)]
        for suffix, read, compare, required in checks:
            path = case.with_suffix(suffix)
            if not path.exists() and not required:
                continue
            try:
                problem, measured = compare(expected, read(path))
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


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
