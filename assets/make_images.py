#!/usr/bin/env python3
"""Draws the plug-ins' icon and cursor and writes them as classic ICO/CUR
files (BMP-style images with AND masks, which every Windows version reads),
plus an enlarged PNG preview for reviewers.

The build uses the checked-in plugin.ico and hand.cur; run this only after
changing a picture:  python3 assets/make_images.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK_RED = (128, 0, 0)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)

# The sixteen colours every 4-bit display had; the 8-bit palette starts with
# them too, then a grey ramp for the shaded picture.
STANDARD_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GREY_RAMP = [(v, v, v) for v in range(0, 256, 8)][1:] + [(255, 255, 255)]
PALETTE_8 = (STANDARD_16 + GREY_RAMP + [(0, 0, 0)] * 256)[:256]

# 4-bit greys for ordered dithering of the shading, darkest first.
GREYS_4 = [BLACK, GREY, SILVER, WHITE]
BAYER_4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]

# 3x5 letters for the band; '-' and 'I' are narrower so PLUG-IN fits 28 px.
GLYPHS = {
    "P": ["###", "#.#", "###", "#..", "#.."],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "G": ["###", "#..", "#.#", "#.#", "###"],
    "-": ["..", "..", "##", "..", ".."],
    "I": ["#", "#", "#", "#", "#"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"],
}

# The pointing hand: '#' outline, 'o' white, '.' transparent. The fingertip's
# top edge is row 1, column 6: the hot spot.
HAND = [
    "................................",
    ".....###........................",
    "....#ooo#.......................",
    "....#ooo#.......................",
    "....#ooo#.......................",
    "....#ooo#.......................",
    "....#ooo###.....................",
    "....#ooo#oo###..................",
    "....#ooo#oo#oo##................",
    ".##.#ooo#oo#oo#o#...............",
    "#oo##ooooooooo#oo#..............",
    "#ooo#oooooooooooo#..............",
    ".#oo#oooooooooooo#..............",
    ".#ooooooooooooooo#..............",
    "..#oooooooooooooo#..............",
    "..#oooooooooooooo#..............",
    "...#ooooooooooooo#..............",
    "...#oooooooooooo#...............",
    "....#ooooooooooo#...............",
    "....#ooooooooooo#...............",
    ".....#ooooooooo#................",
    ".....#ooooooooo#................",
    ".....###########................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HOT_SPOT = (6, 1)


def shade(x, y, size, depth):
    """The grey picture: a lit ball on a backdrop that darkens downwards."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    cx, cy, r = 0.42, 0.30, 0.22
    d2 = ((u - cx) ** 2 + (v - cy) ** 2) / (r * r)
    if d2 <= 1.0:
        # Light from the upper left.
        light = max(0.0, 1.0 - ((u - cx + 0.09) ** 2 + (v - cy + 0.09) ** 2) / (r * r * 1.3))
        level = 0.30 + 0.70 * light
    else:
        level = 0.78 - 0.55 * v
    if depth == 8:
        value = max(8, min(255, int(level * 255) // 8 * 8))
        return (value, value, value) if value < 255 else WHITE
    # Black is kept for the outline: the shading dithers between the
    # three lighter greys only.
    level = max(level, 1 / 3)
    threshold = (BAYER_4[y % 4][x % 4] + 0.5) / 16
    scaled = level * (len(GREYS_4) - 1)
    base = int(scaled)
    if base >= len(GREYS_4) - 1:
        return GREYS_4[-1]
    return GREYS_4[base + 1] if scaled - base > threshold else GREYS_4[base]


def draw_icon(size, depth):
    """Rows of colours, None where the desktop shows through."""
    px = [[None] * size for _ in range(size)]
    shadow = 2
    edge = size - shadow - 1              # last row/column of the square
    band_top = 20 if size == 32 else 9
    for y in range(size):
        for x in range(size):
            if x <= edge and y <= edge:
                if x in (0, edge) or y in (0, edge):
                    px[y][x] = BLACK
                elif y >= band_top:
                    px[y][x] = DARK_RED
                else:
                    px[y][x] = shade(x - 1, y - 1, edge - 1, depth)
            elif x >= shadow and y >= shadow:
                px[y][x] = GREY
    if size == 32:
        text = "PLUG-IN"
        width = sum(len(GLYPHS[c][0]) for c in text) + len(text) - 1
        x0 = 1 + (edge - 1 - width) // 2
        y0 = band_top + (edge - band_top - 5) // 2
        for c in text:
            glyph = GLYPHS[c]
            for gy, row in enumerate(glyph):
                for gx, mark in enumerate(row):
                    if mark == "#":
                        px[y0 + gy][x0 + gx] = WHITE
            x0 += len(glyph[0]) + 1
    else:
        # Too small for letters: two rows of white strokes read as a label.
        for y, row in ((10, "#.#.##.#.#"), (11, "##.#.#.#.##"[:10])):
            for x, mark in enumerate(row, 2):
                if mark == "#":
                    px[y][x] = WHITE
    return px


def palette_index(palette, colour):
    return palette.index(colour)


def bmp_image(px, palette, bits):
    """BITMAPINFOHEADER, palette, XOR bits and AND mask, rows bottom-up."""
    size_y, size_x = len(px), len(px[0])
    xor_stride = (size_x * bits + 31) // 32 * 4
    and_stride = (size_x + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):
        bits_row = 0
        for colour in row:
            index = 0 if colour is None else palette_index(palette, colour)
            bits_row = (bits_row << bits) | index
        xor += (bits_row << (xor_stride * 8 - size_x * bits)).to_bytes(xor_stride, "big")
        mask_row = 0
        for colour in row:
            mask_row = (mask_row << 1) | (colour is None)
        mask += (mask_row << (and_stride * 8 - size_x)).to_bytes(and_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size_x, size_y * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + bytes(xor) + bytes(mask)


def icon_file(images):
    """images: (pixels, bits) pairs -> the bytes of an .ico file."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for px, bits in images:
        palette = STANDARD_16 if bits == 4 else PALETTE_8
        blob = bmp_image(px, palette, bits)
        size = len(px)
        # The resource compiler copies planes and bit count from here into
        # the icon group, so both are filled in.
        out += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits,
                           len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def hand_pixels():
    colours = {"#": BLACK, "o": WHITE, ".": None}
    return [[colours[c] for c in row] for row in HAND]


def cursor_file(px, hot_spot):
    blob = bmp_image(px, [BLACK, WHITE], 1)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", 32, 32, 0, 0, hot_spot[0], hot_spot[1], len(blob), 22)
    return out + blob


def png(width, height, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(pictures, hot_spot, scale=8, gap=16):
    """pictures: pixel grids, drawn enlarged side by side on a pale backdrop
    that shows which pixels are transparent; the last one is the cursor,
    its hot spot framed in red."""
    backdrop = (170, 215, 235)
    height = max(len(p) for p in pictures) * scale + 2 * gap
    width = sum(len(p[0]) * scale for p in pictures) + gap * (len(pictures) + 1)
    canvas = [[(255, 255, 255)] * width for _ in range(height)]
    x0 = gap
    for n, px in enumerate(pictures):
        for y, row in enumerate(px):
            for x, colour in enumerate(row):
                for dy in range(scale):
                    for dx in range(scale):
                        canvas[gap + y * scale + dy][x0 + x * scale + dx] = colour or backdrop
        if n == len(pictures) - 1:
            hx, hy = x0 + hot_spot[0] * scale, gap + hot_spot[1] * scale
            for i in range(-2, scale + 2):
                for j in (-2, -1, scale, scale + 1):
                    canvas[hy + j][hx + i] = (255, 0, 0)
                    canvas[hy + i][hx + j] = (255, 0, 0)
        x0 += len(px[0]) * scale + gap
    return png(width, height, canvas)


def main():
    images = [(draw_icon(16, 4), 4), (draw_icon(16, 8), 8),
              (draw_icon(32, 4), 4), (draw_icon(32, 8), 8)]
    hand = hand_pixels()
    with open(os.path.join(HERE, "plugin.ico"), "wb") as f:
        f.write(icon_file(images))
    with open(os.path.join(HERE, "hand.cur"), "wb") as f:
        f.write(cursor_file(hand, HOT_SPOT))
    os.makedirs(os.path.join(ROOT, "docs"), exist_ok=True)
    with open(os.path.join(ROOT, "docs", "icon-and-cursor.png"), "wb") as f:
        f.write(preview([px for px, _ in images] + [hand], HOT_SPOT))


if __name__ == "__main__":
    main()
