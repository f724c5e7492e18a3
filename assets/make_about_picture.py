#!/usr/bin/env python3
"""Draws the About picture: a 280 x 150, 8-bit, RLE8 packed DIB with 128
colours, white except for the maker's logo in its lower-left corner. Writes
the packed DIB (assets/about.dib), the C++ source that puts it in both
libraries' initialised data (about/picture.cpp) and an enlarged PNG preview
(docs/about-picture.png), decoded back from the RLE8 data so the preview
shows what the libraries carry.

The build uses the checked-in files; run this only after changing the
picture:  python3 assets/make_about_picture.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

WIDTH, HEIGHT = 280, 150
COLOURS = 128
# The About animation skips source pixels of this colour (0x00RRGGBB).
KEY = 0xFFFEFF
# The logo stays inside these columns and rows (from the top), inclusive.
LOGO_LEFT, LOGO_RIGHT, LOGO_TOP, LOGO_BOTTOM = 6, 122, 97, 144

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
INK = (24, 70, 104)     # the deep lake blue of the logo
RAMP = COLOURS - 2      # entries 1..126 run from nearly white to INK


def build_palette():
    palette = [WHITE]
    for i in range(1, RAMP + 1):
        t = i / RAMP
        palette.append(tuple(round(255 + (ink - 255) * t) for ink in INK))
    palette.append(BLACK)
    for r, g, b in palette:
        assert (r << 16) | (g << 8) | b != KEY, "a palette entry equals the key colour"
    return palette


# A 5 x 7 pixel face for the maker's name.
GLYPHS = {
    'Q': ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    'u': ["00000", "00000", "10001", "10001", "10001", "10011", "01101"],
    'i': ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    'l': ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    'm': ["00000", "00000", "11010", "10101", "10101", "10101", "10101"],
    'e': ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    'r': ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
}


def coverage(shape, x, y, samples=4):
    """Share of pixel (x, y) that shape(px, py) covers, by supersampling."""
    hits = 0
    for j in range(samples):
        for i in range(samples):
            if shape(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw():
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]  # rows from the top

    # The mark: a disc of deepening blue with a white quill across it and
    # three ripples of a lake below the quill's tip.
    cx, cy, radius = 30.0, 120.5, 22.0

    def disc(px, py):
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2

    angle = math.radians(-35)
    ca, sa = math.cos(angle), math.sin(angle)

    def quill(px, py):
        # A slim leaf along a tilted axis, cut by a thin shaft line.
        u = (px - cx) * ca - (py - (cy - 3)) * sa
        v = (px - cx) * sa + (py - (cy - 3)) * ca
        if abs(u) > 17:
            return False
        half = 5.5 * (1 - (u / 17) ** 2) * (0.6 + 0.4 * (u + 17) / 34)
        return abs(v) <= half and not abs(v) < 0.45

    def ripples(px, py):
        for k, (w, dy) in enumerate(((13, 13), (9, 16.5), (5, 20))):
            if abs(px - cx) <= w and abs(py - (cy + dy) - 0.9 * math.sin((px - cx) / 2.2)) <= 0.8:
                return True
        return False

    for y in range(LOGO_TOP, LOGO_BOTTOM + 1):
        for x in range(LOGO_LEFT, LOGO_LEFT + 50):
            c = coverage(disc, x, y)
            if not c:
                continue
            # Lighter at the top of the disc, deep at the bottom.
            shade = 0.55 + 0.45 * (y - (cy - radius)) / (2 * radius)
            cut = max(coverage(quill, x, y), coverage(ripples, x, y))
            level = c * shade * (1 - cut)
            pixels[y][x] = max(0, min(RAMP, round(level * RAMP)))

    # The name, black, to the right of the mark, drawn twice as tall as the
    # face so it stands as high as the disc's upper half; a rule under it.
    x0, y0 = 58, 106
    for n, ch in enumerate("Quillmere"):
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    pixels[y0 + 2 * gy][x0 + n * 7 + gx] = COLOURS - 1
                    pixels[y0 + 2 * gy + 1][x0 + n * 7 + gx] = COLOURS - 1
    for x in range(58, 121):
        pixels[124][x] = RAMP
        pixels[126][x] = RAMP // 2
    for x in range(58, 100):
        pixels[128][x] = RAMP // 4

    for y in range(HEIGHT):
        for x in range(WIDTH):
            if pixels[y][x]:
                assert LOGO_LEFT <= x <= LOGO_RIGHT and LOGO_TOP <= y <= LOGO_BOTTOM, (x, y)
    return pixels


def rle8(rows_bottom_up):
    """Standard RLE8: encoded runs, absolute runs of three or more literals
    (padded to a 16-bit boundary), an end-of-line code after every row and the
    end-of-bitmap code after the last."""
    out = bytearray()
    for row in rows_bottom_up:
        i, n = 0, len(row)
        while i < n:
            run = 1
            while i + run < n and run < 255 and row[i + run] == row[i]:
                run += 1
            if run >= 2:
                out += bytes((run, row[i]))
                i += run
                continue
            # Gather literals until a repeat of two begins.
            j = i
            while j < n and j - i < 255 and not (j + 1 < n and row[j + 1] == row[j]):
                j += 1
            count = j - i
            if count >= 3:
                out += bytes((0, count)) + bytes(row[i:j])
                if count % 2:
                    out.append(0)
            else:
                for k in range(i, j):
                    out += bytes((1, row[k]))
            i = j
        out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def unrle8(data, width, height):
    """Decodes RLE8 into rows from the top (a check on rle8 and the source of
    the preview)."""
    rows = [[0] * width for _ in range(height)]
    x, y, i = 0, 0, 0  # y counts from the bottom
    while True:
        a, b = data[i], data[i + 1]
        i += 2
        if a:
            for _ in range(a):
                rows[height - 1 - y][x] = b
                x += 1
        elif b == 0:
            x, y = 0, y + 1
        elif b == 1:
            break
        elif b == 2:
            x, y = x + data[i], y + data[i + 1]
            i += 2
        else:
            for k in range(b):
                rows[height - 1 - y][x] = data[i + k]
                x += 1
            i += b + (b & 1)
    assert i == len(data)
    return rows


def png(path, rgb_rows, zoom):
    raw = bytearray()
    for row in rgb_rows:
        line = bytearray()
        for r, g, b in row:
            line += bytes((r, g, b)) * zoom
        for _ in range(zoom):
            raw += b"\x00" + line
    height, width = len(rgb_rows) * zoom, len(rgb_rows[0]) * zoom

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


def main():
    palette = build_palette()
    pixels = draw()
    bits = rle8(list(reversed(pixels)))
    assert unrle8(bits, WIDTH, HEIGHT) == pixels
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, len(bits), 0, 0, COLOURS, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    dib = header + table + bits

    with open(os.path.join(HERE, "about.dib"), "wb") as f:
        f.write(dib)

    lines = ["// Generated by assets/make_about_picture.py from the same drawing as",
             "// assets/about.dib; do not edit by hand.",
             '#include "about/about.h"',
             "",
             "// %d bytes: the header, %d colours, %d bytes of RLE8 bits." % (len(dib), COLOURS, len(bits)),
             "alignas(4) extern const unsigned char aboutPicture[] = {"]
    for k in range(0, len(dib), 16):
        lines.append("    " + ", ".join("0x%02X" % v for v in dib[k:k + 16]) + ",")
    lines += ["};", "extern const unsigned int aboutPictureSize = sizeof aboutPicture;", ""]
    with open(os.path.join(ROOT, "about", "picture.cpp"), "w") as f:
        f.write("\n".join(lines))

    decoded = unrle8(bits, WIDTH, HEIGHT)
    png(os.path.join(ROOT, "docs", "about-picture.png"),
        [[palette[v] for v in row] for row in decoded], 3)
    print("about.dib: %d bytes, %d bytes of bits" % (len(dib), len(bits)))


if __name__ == "__main__":
    main()
