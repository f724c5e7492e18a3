#!/usr/bin/env python3
"""Draws samples/sticker.png, the picture run.sh filters.

A 256 x 192 RGBA layer: an opaque studio-green backdrop (the colour the
corner key removes), a sticker whose edge fades out softly (what the hard-edge
filter hardens), and a stripe one step off the backdrop green, which the
corner key must leave alone. Standard library only.
"""
import math
import struct
import sys
import zlib

WIDTH, HEIGHT = 256, 192
BACKDROP = (0x20, 0xB0, 0x40, 255)
NEAR_MISS = (0x20, 0xB1, 0x40, 255)


def sticker(x, y):
    """Colour and coverage of the sticker at a pixel centre, or None."""
    cx, cy, radius, feather = 128.0, 100.0, 62.0, 22.0
    distance = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    if distance >= radius:
        return None
    coverage = min(1.0, (radius - distance) / feather)
    # A warm radial gradient with a pale highlight towards the top left.
    t = distance / radius
    highlight = max(0.0, 1.0 - math.hypot(x - 105.0, y - 78.0) / 40.0)
    red = 235 - 40 * t + 20 * highlight
    green = 120 - 60 * t + 110 * highlight
    blue = 40 + 30 * t + 120 * highlight
    colour = tuple(max(0, min(255, int(round(c)))) for c in (red, green, blue))
    return colour, int(round(coverage * 255))


def pixel(x, y):
    found = sticker(x, y)
    if found:
        colour, alpha = found
        return colour + (alpha,)
    if 176 <= y < 184 and 24 <= x < 232:
        return NEAR_MISS
    return BACKDROP


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "sticker.png"
    rows = [[v for x in range(WIDTH) for v in pixel(x, y)] for y in range(HEIGHT)]
    with open(out, "wb") as f:
        f.write(png(WIDTH, HEIGHT, rows))


if __name__ == "__main__":
    main()
