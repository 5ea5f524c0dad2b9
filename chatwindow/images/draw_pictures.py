#!/usr/bin/env python3
"""Draws the user list's nine pictures and the program's icon as PNG files.

Run it from anywhere; it writes next to itself. The PNGs are committed and built into
the program as Qt resources, and the icon's sizes are installed into the desktop's icon
theme; this script is not part of the build.

For screens scaled to 200%, each user picture is also drawn at 32 x 32 (userN@2x.png):
its 16 x 16 grid doubled by the EPX rule, which keeps every edge hard and rounds the
steps of a diagonal instead of doubling them, where a smooth upscale would blur the
picture. The icon is drawn afresh at each size from its shapes.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
BLACK = (0, 0, 0, 255)


def write_png(path, pixels):
    height = len(pixels)
    width = len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def rgb(value):
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255, 255)


def from_grid(grid, palette):
    assert len(grid) == 16 and all(len(row) == 16 for row in grid)
    return [[BLACK if c == "." else rgb(palette[c]) for c in row] for row in grid]


# Each picture: 16 x 16 on black, nose up. None uses the image list's mask grey #C0C0C0.
PICTURES = [
    # 1: white and red fighter
    ({"W": 0xF4F4F4, "R": 0xE01818, "G": 0x7878A0}, [
        "................",
        ".......WW.......",
        ".......WW.......",
        "......WRRW......",
        "......WRRW......",
        "......WWWW......",
        "..R..WWWWWW..R..",
        "..W..WWGGWW..W..",
        "..W.WWWGGWWW.W..",
        "..WWWWWWWWWWWW..",
        ".RWWWWWWWWWWWWR.",
        ".RRRWWRWWRWWRRR.",
        "....RR.WW.RR....",
        ".......RR.......",
        "......R..R......",
        "................"]),
    # 2: gold and orange ship
    ({"Y": 0xE8B828, "O": 0xFF7A10}, [
        "................",
        "................",
        ".......YY.......",
        "......YOOY......",
        "......YOOY......",
        ".....YYOOYY.....",
        "....YYYYYYYY....",
        "...YYOYYYYOYY...",
        "..YYOOYYYYOOYY..",
        ".YYOOYYYYYYOOYY.",
        ".YOO.YYYYYY.OOY.",
        ".O...YYOOYY...O.",
        ".....YO..OY.....",
        ".....O....O.....",
        "................",
        "................"]),
    # 3: green ship
    ({"G": 0x28C030, "L": 0x90FF90, "D": 0x106818}, [
        "................",
        "................",
        ".......LL.......",
        "......LGGL......",
        "......GGGG......",
        "..D...GDDG...D..",
        "..G..GGDDGG..G..",
        "..GGGGGGGGGGGG..",
        "..GGLGGGGGGLGG..",
        "..G..GGGGGG..G..",
        "..D...GGGG...D..",
        "......G..G......",
        "......D..D......",
        "................",
        "................",
        "................"]),
    # 4: bulky blue-violet ship
    ({"V": 0x6A50D8, "B": 0x3434A0, "L": 0xA898FF}, [
        "................",
        "......VVVV......",
        ".....VLLLLV.....",
        "....VVLBBLVV....",
        "...VVVVBBVVVV...",
        "..VVVVVVVVVVVV..",
        "..VLVVVVVVVVLV..",
        "..VVVVBVVBVVVV..",
        "..VVVVBVVBVVVV..",
        "..VLVVVVVVVVLV..",
        "..VVVVVVVVVVVV..",
        "...VVBVVVVBVV...",
        "...BB......BB...",
        "................",
        "................",
        "................"]),
    # 5: red ship
    ({"R": 0xE02020, "D": 0x801010, "P": 0xFF8888}, [
        "................",
        ".......RR.......",
        ".......RR.......",
        "......RPPR......",
        "......RPPR......",
        ".D....RRRR....D.",
        ".R...RRRRRR...R.",
        ".RR.RRRDDRRR.RR.",
        ".RRRRRRDDRRRRRR.",
        "..RRRRRRRRRRRR..",
        "...RR.RRRR.RR...",
        "...D..R..R..D...",
        "......D..D......",
        "................",
        "................",
        "................"]),
    # 6: grey ship with blue and dark red wings
    ({"G": 0x909090, "L": 0xD8D8D8, "B": 0x2050E0, "M": 0x901818}, [
        "................",
        ".......LL.......",
        ".......GG.......",
        "......GLLG......",
        "......GBBG......",
        "..B...GGGG...B..",
        ".BB..GGGGGG..BB.",
        ".BBBGGGGGGGGBBB.",
        ".MMMGGGGGGGGMMM.",
        ".MM..GGGGGG..MM.",
        "..M...GGGG...M..",
        "......G..G......",
        "......L..L......",
        "................",
        "................",
        "................"]),
    # 7: dark grey ship with orange tips
    ({"D": 0x585858, "K": 0x343434, "O": 0xFF8C20}, [
        "................",
        ".......OO.......",
        ".......DD.......",
        "......DDDD......",
        "......DKKD......",
        "..O...DDDD...O..",
        "..D..DDDDDD..D..",
        "..DDDDDDDDDDDD..",
        ".DDDDDKDDKDDDDD.",
        "ODDDDDDDDDDDDDDO",
        "....DDDDDDDD....",
        ".....D.DD.D.....",
        ".....O.OO.O.....",
        "................",
        "................",
        "................"]),
    # 8: wide grey ship with blue sides
    ({"G": 0xA4A4A4, "D": 0x707070, "B": 0x3070FF}, [
        "................",
        "................",
        "................",
        ".......GG.......",
        "......GDDG......",
        ".....GGGGGG.....",
        "BB..GGGDDGGG..BB",
        "BBGGGGGGGGGGGGBB",
        "BBGGGDGGGGDGGGBB",
        "BBGGGGGGGGGGGGBB",
        "BB..GG.GG.GG..BB",
        "....D......D....",
        "................",
        "................",
        "................",
        "................"]),
    # 9: yellow circular pod
    ({"Y": 0xFFE020, "H": 0xFFFFA0, "O": 0xD8A800, "D": 0x987800}, [
        "................",
        "................",
        ".....DDDDDD.....",
        "....DYYYYYYD....",
        "...DYHHYYYYYD...",
        "..DYHHYYYYYYYD..",
        "..DYHYYYYYYYYD..",
        "..DYYYYYYYYYYD..",
        "..DYYYYYYYYYYD..",
        "..DYYYYYYYYYOD..",
        "..DYYYYYYYYYOD..",
        "...DYYYYYYYOD...",
        "....DYYYYOOD....",
        ".....DDDDDD.....",
        "................",
        "................"]),
]


def epx(pixels):
    """Each pixel as four, a corner taking a neighbour's colour where two neighbours
    of the same colour meet there (EPX)."""
    height, width = len(pixels), len(pixels[0])

    def at(x, y):
        return pixels[min(max(y, 0), height - 1)][min(max(x, 0), width - 1)]

    out = [[None] * (2 * width) for _ in range(2 * height)]
    for y in range(height):
        for x in range(width):
            p = at(x, y)
            a, b, c, d = at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def smiley_at(size, x, y):
    """The colour of the point (x, y) of the face drawn size pixels wide, or None
    outside it."""
    yellow = (255, 255, 0, 255)
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    line = max(1.0, size / 16.0)
    dx, dy = x - c, y - c
    d = math.hypot(dx, dy)
    if d > r:
        return None
    if d > r - line:
        return BLACK
    # Eyes: two upright ovals above the middle.
    ex, ey = 0.32 * r, -0.28 * r
    eye = ((abs(dx) - ex) / (0.12 * r + 0.3)) ** 2 + ((dy - ey) / (0.2 * r + 0.3)) ** 2
    # Smile: the lower part of a ring round the centre.
    ring = abs(d - 0.58 * r) <= line * 0.6 + 0.2
    smile = ring and dy > 0.18 * r and abs(dx) < 0.62 * r
    return BLACK if eye <= 1.0 or smile else yellow


def smiley(size):
    """A yellow face with black outline, eyes and smile on a transparent background.
    Up to 24 pixels each pixel is one colour, so that the small sizes stay crisp; from
    32 up the edges are smoothed by sampling each pixel 4 x 4 times."""
    samples = 1 if size <= 24 else 4
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = []
            for sy in range(samples):
                for sx in range(samples):
                    offset = (0.5 - samples / 2.0) / samples
                    colour = smiley_at(size, x + offset + sx / samples, y + offset + sy / samples)
                    if colour is not None:
                        hits.append(colour)
            if not hits:
                row.append((0, 0, 0, 0))
                continue
            alpha = len(hits) / float(samples * samples)
            mean = [sum(h[i] for h in hits) / len(hits) for i in range(3)]
            row.append(tuple(int(round(v)) for v in mean) + (int(round(255 * alpha)),))
        pixels.append(row)
    return pixels


def main():
    for number, (palette, grid) in enumerate(PICTURES, start=1):
        pixels = from_grid(grid, palette)
        write_png(os.path.join(HERE, "user%d.png" % number), pixels)
        write_png(os.path.join(HERE, "user%d@2x.png" % number), epx(pixels))
    for size in ICON_SIZES:
        write_png(os.path.join(HERE, "smiley%d.png" % size), smiley(size))


if __name__ == "__main__":
    main()
