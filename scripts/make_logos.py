#!/usr/bin/env python3
"""Draws the two logos of the about box as 8-bit palette BMP files.

    scripts/make_logos.py [output-dir]      (default: resources/)

VANDORLOGO.bmp     72 x 36, the maker's logo; its bottom-left pixel is the
                   key colour that the dialogs draw as transparent.
LETTRANCELOGO.bmp  240 x 36, 256 colours, the product logo.
NAME@2x.bmp        each of them at twice the size, for screens of twice the
                   density: the letters' steps smoothed (Scale2x), the
                   colour runs and the wave drawn on the finer grid.

Only the standard library is used and the letters come from a built-in pixel
font, so the output is the same byte for byte on every machine.
"""

import colorsys
import os
import struct
import sys

# 5 x 7 pixel letters, '#' set.
GLYPHS = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "V": ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
}
GLYPH_W, GLYPH_H = 5, 7


def scale2x(rows):
    """The Scale2x (EPX) enlargement of a glyph: twice as wide and high, each
    cell split into four, where a corner takes the neighbours' value when the
    two neighbours that meet there agree and the other two differ. Straight
    edges stay as they are; diagonal steps get half the height."""
    h, w = len(rows), len(rows[0])
    cell = lambda x, y: rows[y][x] if 0 <= x < w and 0 <= y < h else " "
    out = [[" "] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            e = cell(x, y)
            b, d, f, hh = cell(x, y - 1), cell(x - 1, y), cell(x + 1, y), cell(x, y + 1)
            corners = [e, e, e, e]
            if b != hh and d != f:
                corners = [d if d == b else e, f if b == f else e,
                           d if d == hh else e, f if hh == f else e]
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = corners[0], corners[1]
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = corners[2], corners[3]
    return ["".join(row) for row in out]


class Canvas:
    """A palette picture: pixels are palette indices."""

    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def set(self, x, y, index):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = index

    def text(self, left, top, text, scale, gap, colour_of, glyphs=GLYPHS):
        """Draws text; colour_of(x, y) gives the palette index of each pixel.
        `scale` pixels for each cell of the glyphs, which are GLYPH_W cells
        wide unless they are finer (then `scale` is per finer cell, and the
        advance stays GLYPH_W * scale * fineness + gap)."""
        fineness = len(next(iter(glyphs.values()))[0]) // GLYPH_W
        x0 = left
        for letter in text:
            rows = glyphs[letter]
            for gy, row in enumerate(rows):
                for gx, cell in enumerate(row):
                    if cell != "#":
                        continue
                    for dy in range(scale):
                        for dx in range(scale):
                            x, y = x0 + gx * scale + dx, top + gy * scale + dy
                            self.set(x, y, colour_of(x, y))
            x0 += GLYPH_W * fineness * scale + gap

    def write_bmp(self, path, palette):
        assert len(palette) == 256 and self.width % 4 == 0
        rows = b"".join(bytes(self.pixels[y]) for y in range(self.height - 1, -1, -1))
        colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
        offset = 14 + 40 + len(colours)
        header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 8, 0,
                           len(rows), 2835, 2835, 256, 0)
        with open(path, "wb") as out:
            out.write(header + info + colours + rows)


def text_width(text, scale, gap):
    return len(text) * (GLYPH_W * scale + gap) - gap


def rainbow(steps, saturation, value):
    return [tuple(round(c * 255) for c in colorsys.hsv_to_rgb(i / steps, saturation, value))
            for i in range(steps)]


FINE_GLYPHS = {letter: scale2x(rows) for letter, rows in GLYPHS.items()}


def product_logo(size=1):
    """Rainbow letters with a drop shadow on black, as the saver shows them.
    size 2: the same logo at twice the size."""
    width, height, scale, gap = 240 * size, 36 * size, 4, 4 * size
    glyphs = GLYPHS if size == 1 else FINE_GLYPHS
    hues = rainbow(128, 0.85, 1.0)
    shade = [(0, 0, 0)] + [(i * 3, i * 3, i * 4) for i in range(1, 32)]  # 0..31 dark greys
    palette = shade + hues + [(0, 0, 0)] * (256 - len(shade) - len(hues))
    canvas = Canvas(width, height, 0)
    label = "LETTRANCE"
    span = text_width(label, scale * size, gap)
    left = (width - span) // 2
    top = (height - GLYPH_H * scale * size) // 2
    # Faint horizontal scan lines give the black plate some depth.
    for y in range(0, height):
        if (y // size) % 3 == 0:
            for x in range(width):
                canvas.set(x, y, 3)
    canvas.text(left + 2 * size, top + 2 * size, label, scale, gap, lambda x, y: 12, glyphs)
    canvas.text(left, top, label, scale, gap,
                lambda x, y: len(shade) + (x - left) * (len(hues) - 1) // span, glyphs)
    return canvas, palette


# One period of the maker logo's wave: the centre row's offset, in 1x pixels.
WAVE = [0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2, -1]


def wave_centre(x, width, size):
    """The centre row of the wave at column x of a logo `width` 1x pixels
    wide, drawn at `size`. At 1x the wave steps from one offset to the next;
    at 2x it runs straight between them, rounded to the finer rows."""
    if size == 1:
        return 26 + WAVE[(x * len(WAVE) // (width - 4)) % len(WAVE)]
    along = x * len(WAVE)
    period = size * (width - 4)
    step, rest = along // period, along % period
    here, there = WAVE[step % len(WAVE)], WAVE[(step + 1) % len(WAVE)]
    # size * (here + (there - here) * rest / period), to the nearest row.
    offset = (2 * size * (here * period + (there - here) * rest) + period) // (2 * period)
    return 26 * size + offset


def maker_logo(size=1):
    """The maker's name over a colour wave; the key colour is magenta.
    size 2: the same logo at twice the size."""
    width, height, scale, gap = 72, 36, 2, 2 * size
    glyphs = GLYPHS if size == 1 else FINE_GLYPHS
    key, ink = 0, 1
    hues = rainbow(64, 0.9, 0.95)
    palette = [(255, 0, 255), (32, 32, 96)] + hues + [(0, 0, 0)] * (256 - 2 - len(hues))
    canvas = Canvas(width * size, height * size, key)
    label = "VANDOR"
    left = (width * size - text_width(label, scale * size, gap)) // 2
    canvas.text(left, 3 * size, label, scale, gap, lambda x, y: ink, glyphs)
    # A wave of 4 px high rainbow strokes below the name: one period over the width.
    for x in range(2 * size, (width - 2) * size):
        centre = wave_centre(x, width, size)
        for y in range(centre - 2 * size, centre + 2 * size):
            canvas.set(x, y, 2 + (x - 2 * size) * (len(hues) - 1) // ((width - 5) * size))
    return canvas, palette


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, (canvas, palette) in (("LETTRANCELOGO", product_logo()),
                                    ("VANDORLOGO", maker_logo()),
                                    ("LETTRANCELOGO@2x", product_logo(2)),
                                    ("VANDORLOGO@2x", maker_logo(2))):
        path = os.path.join(out_dir, name + ".bmp")
        canvas.write_bmp(path, palette)
        print("wrote", os.path.normpath(path))


if __name__ == "__main__":
    main()
