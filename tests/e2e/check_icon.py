#!/usr/bin/env python3
"""Checks the program icon as built, with a PNG reader of its own (zlib from Python).

    check_icon.py ICON.ico

The icon must hold exactly the nine sizes, each a valid PNG (signature, chunk CRCs, zlib
stream and its Adler-32, filter bytes), of the size its directory entry states, and each a
drawing rather than a placeholder: transparent corners, an opaque middle, soft edges and a
handful of colours.
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 128, 256]


def need(holds, why):
    if not holds:
        raise ValueError(why)


def read_png(data, where):
    need(data[:8] == b"\x89PNG\r\n\x1a\n", f"{where}: no PNG signature")
    at = 8
    chunks = []
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        need(zlib.crc32(kind + body) == crc, f"{where}: bad CRC in {kind!r}")
        chunks.append((kind, body))
        at += 12 + length
    need(chunks[0][0] == b"IHDR" and chunks[-1][0] == b"IEND", f"{where}: chunks out of order")
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    need((depth, colour, interlace) == (8, 6, 0), f"{where}: not 8-bit RGBA without interlace")
    raw = zlib.decompress(b"".join(b for k, b in chunks if k == b"IDAT"))
    row = 1 + 4 * width
    need(len(raw) == row * height,
         f"{where}: {len(raw)} bytes of image data, expected {row * height}")
    pixels = []
    for y in range(height):
        need(raw[y * row] == 0, f"{where}: row {y} uses filter {raw[y * row]}")
        line = raw[y * row + 1:(y + 1) * row]
        pixels.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
    return width, height, pixels


def check_drawing(size, pixels, where):
    alphas = [p[3] for line in pixels for p in line]
    corner = pixels[0][0][3]
    middle = pixels[size // 2][size // 2][3]
    partial = sum(1 for a in alphas if 0 < a < 255)
    colours = {p[:3] for line in pixels for p in line if p[3] == 255}
    need(corner == 0, f"{where}: the corner is not transparent")
    need(middle == 255, f"{where}: the middle is not opaque")
    need(partial >= size // 2, f"{where}: only {partial} soft edge pixels; not anti-aliased")
    need(len(colours) >= 4, f"{where}: only {len(colours)} colours; a placeholder?")
    covered = sum(1 for a in alphas if a > 0) / len(alphas)
    need(0.3 < covered < 0.95, f"{where}: covers {covered:.0%} of its square")


def main(path):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    need((reserved, kind) == (0, 1), "not an icon file")
    found = []
    for i in range(count):
        w, h, colours, _, planes, bits, length, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        size = w or 256
        where = f"image {i} ({size} px)"
        need((h or 256, planes, bits, colours) == (size, 1, 32, 0), f"{where}: odd directory entry")
        width, height, pixels = read_png(data[offset:offset + length], where)
        need((width, height) == (size, size), f"{where}: the PNG is {width} x {height}")
        check_drawing(size, pixels, where)
        found.append(size)
    need(found == SIZES, f"sizes {found}, expected {SIZES}")
    print(f"icon ok: {len(found)} PNG images, {found[0]} to {found[-1]} px")


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except (ValueError, OSError, zlib.error, struct.error) as error:
        print(f"check_icon: {error}")
        sys.exit(1)
