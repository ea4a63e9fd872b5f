#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon: a T-beam section with its tension bars, in 256 colours.

Writes an indexed-colour PNG with the standard library only, 84 x 84 unless a size is given:
    scripts/make-icon.py ui/zhuheng.png
    scripts/make-icon.py app/icons/128/zhuheng.png 128
"""
import struct
import sys
import zlib

BASE = 84  # the drawing's own grid; other sizes scale it
SIZE = BASE
# palette index: colour
PALETTE = [
    (255, 255, 255),  # 0 background
    (46, 84, 140),    # 1 frame
    (190, 190, 184),  # 2 concrete
    (120, 120, 114),  # 3 concrete edge
    (200, 40, 40),    # 4 bar
    (120, 16, 16),    # 5 bar edge
]


def draw():
    px = [[0] * SIZE for _ in range(SIZE)]
    k = SIZE / BASE

    def rect(x0, y0, x1, y1, c):
        for y in range(round(y0 * k), round(y1 * k)):
            for x in range(round(x0 * k), round(x1 * k)):
                px[y][x] = c

    # rounded frame
    for y in range(SIZE):
        for x in range(SIZE):
            edge = min(x, y, SIZE - 1 - x, SIZE - 1 - y)
            if edge < max(1, round(3 * k)):
                px[y][x] = 1
    # flange and web, with a darker outline
    rect(10, 12, 74, 30, 3)
    rect(31, 28, 53, 74, 3)
    rect(12, 14, 72, 28, 2)
    rect(33, 28, 51, 72, 2)
    # tension bars near the bottom of the web
    for cx in (38, 46):
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x + 0.5) / k - 0.5 - cx) ** 2 + ((y + 0.5) / k - 0.5 - 64) ** 2
                if d <= 9:
                    px[y][x] = 4
                elif d <= 14:
                    px[y][x] = 5
    return px


def png(px):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    raw = b"".join(b"\x00" + bytes(row) for row in px)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) > 2:
        SIZE = int(sys.argv[2])
    with open(sys.argv[1], "wb") as f:
        f.write(png(draw()))
