#!/usr/bin/env python3
"""Draws the two logos of the about box as 8-bit palette BMP files.

    scripts/make_logos.py [output-dir]      (default: resources/)

VANDORLOGO.bmp     72 x 36, the maker's logo; its bottom-left pixel is the
                   key colour that the dialogs draw as transparent.
LETTRANCELOGO.bmp  240 x 36, 256 colours, the product logo.

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


class Canvas:
    """A palette picture: pixels are palette indices."""

    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def set(self, x, y, index):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = index

    def text(self, left, top, text, scale, gap, colour_of):
        """Draws text; colour_of(x, y) gives the palette index of each pixel."""
        x0 = left
        for letter in text:
            rows = GLYPHS[letter]
            for gy, row in enumerate(rows):
                for gx, cell in enumerate(row):
                    if cell != "#":
                        continue
                    for dy in range(scale):
                        for dx in range(scale):
                            x, y = x0 + gx * scale + dx, top + gy * scale + dy
                            self.set(x, y, colour_of(x, y))
            x0 += GLYPH_W * scale + gap

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


def product_logo():
    """Rainbow letters with a drop shadow on black, as the saver shows them."""
    width, height, scale, gap = 240, 36, 4, 4
    hues = rainbow(128, 0.85, 1.0)
    shade = [(0, 0, 0)] + [(i * 3, i * 3, i * 4) for i in range(1, 32)]  # 0..31 dark greys
    palette = shade + hues + [(0, 0, 0)] * (256 - len(shade) - len(hues))
    canvas = Canvas(width, height, 0)
    label = "LETTRANCE"
    left = (width - text_width(label, scale, gap)) // 2
    top = (height - GLYPH_H * scale) // 2
    # Faint horizontal scan lines give the black plate some depth.
    for y in range(0, height, 3):
        for x in range(width):
            canvas.set(x, y, 3)
    canvas.text(left + 2, top + 2, label, scale, gap, lambda x, y: 12)
    span = text_width(label, scale, gap)
    canvas.text(left, top, label, scale, gap,
                lambda x, y: len(shade) + (x - left) * (len(hues) - 1) // span)
    return canvas, palette


def maker_logo():
    """The maker's name over a colour wave; the key colour is magenta."""
    width, height, scale, gap = 72, 36, 2, 2
    key, ink = 0, 1
    hues = rainbow(64, 0.9, 0.95)
    palette = [(255, 0, 255), (32, 32, 96)] + hues + [(0, 0, 0)] * (256 - 2 - len(hues))
    canvas = Canvas(width, height, key)
    label = "VANDOR"
    left = (width - text_width(label, scale, gap)) // 2
    canvas.text(left, 3, label, scale, gap, lambda x, y: ink)
    # A wave of 4 px high rainbow strokes below the name: one period over the width.
    wave = [0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2, -1]
    for x in range(2, width - 2):
        centre = 26 + wave[(x * len(wave) // (width - 4)) % len(wave)]
        for y in range(centre - 2, centre + 2):
            canvas.set(x, y, 2 + (x - 2) * (len(hues) - 1) // (width - 5))
    return canvas, palette


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, (canvas, palette) in (("LETTRANCELOGO", product_logo()),
                                    ("VANDORLOGO", maker_logo())):
        path = os.path.join(out_dir, name + ".bmp")
        canvas.write_bmp(path, palette)
        print("wrote", os.path.normpath(path))


if __name__ == "__main__":
    main()
