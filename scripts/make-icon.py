#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon: a T-beam section with its tension bars, in 256 colours.

Writes an indexed-colour PNG with the standard library only, 84 x 84 unless a size is given,
or a Windows icon file holding the drawing at 16, 32, 48 and 256 pixels (as PNG images):
    scripts/make-icon.py ui/zhuheng.png
    scripts/make-icon.py app/icons/128/zhuheng.png 128
    scripts/make-icon.py app/zhuheng.ico
"""
import struct
import sys
import zlib

BASE = 84  # the drawing's own grid; other sizes scale it
ICO_SIZES = (16, 32, 48, 256)
# palette index: colour
PALETTE = [
    (255, 255, 255),  # 0 background
    (46, 84, 140),    # 1 frame
    (190, 190, 184),  # 2 concrete
    (120, 120, 114),  # 3 concrete edge
    (200, 40, 40),    # 4 bar
    (120, 16, 16),    # 5 bar edge
]


def draw(size):
    px = [[0] * size for _ in range(size)]
    k = size / BASE

    def rect(x0, y0, x1, y1, c):
        for y in range(round(y0 * k), round(y1 * k)):
            for x in range(round(x0 * k), round(x1 * k)):
                px[y][x] = c

    # rounded frame
    for y in range(size):
        for x in range(size):
            edge = min(x, y, size - 1 - x, size - 1 - y)
            if edge < max(1, round(3 * k)):
                px[y][x] = 1
    # flange and web, with a darker outline
    rect(10, 12, 74, 30, 3)
    rect(31, 28, 53, 74, 3)
    rect(12, 14, 72, 28, 2)
    rect(33, 28, 51, 72, 2)
    # tension bars near the bottom of the web
    for cx in (38, 46):
        for y in range(size):
            for x in range(size):
                d = ((x + 0.5) / k - 0.5 - cx) ** 2 + ((y + 0.5) / k - 0.5 - 64) ** 2
                if d <= 9:
                    px[y][x] = 4
                elif d <= 14:
                    px[y][x] = 5
    return px


def png(px):
    size = len(px)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    raw = b"".join(b"\x00" + bytes(row) for row in px)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(images):
    """An icon directory followed by the images; a width or height of 256 is written as 0."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(data for _, data in images)


if __name__ == "__main__":
    path = sys.argv[1]
    if path.endswith(".ico"):
        out = ico([(size, png(draw(size))) for size in ICO_SIZES])
    else:
        out = png(draw(int(sys.argv[2]) if len(sys.argv) > 2 else BASE))
    with open(path, "wb") as f:
        f.write(out)
