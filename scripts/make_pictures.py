#!/usr/bin/env python3
"""Draws the small pictures of the controls as BMP files.

    scripts/make_pictures.py [output-dir]      (default: resources/)

Each picture is one function that returns a Picture; the table PICTURES at the
bottom names the file each one is written to. To add a picture, write its
function and add a row to the table.

Only the standard library is used and every pixel is computed with integers,
so the output is the same byte for byte on every machine.
"""

import os
import struct
import sys

# The sixteen standard colours of a 4-bit display, in their usual order.
BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
NAVY = (0, 0, 128)
PURPLE = (128, 0, 128)
TEAL = (0, 128, 128)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
RED = (255, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
FUCHSIA = (255, 0, 255)
AQUA = (0, 255, 255)
WHITE = (255, 255, 255)
STANDARD_16 = [BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
               GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE]


class Picture:
    """A picture of palette indices (bits 1, 4 or 8) or of (r, g, b) triples
    (bits 24). rows[y][x], row 0 at the top."""

    def __init__(self, width, height, bits, fill, palette=None):
        assert bits in (1, 4, 8, 24)
        assert (palette is None) == (bits == 24)
        if palette is not None:
            assert len(palette) <= 1 << bits
            palette = list(palette) + [BLACK] * ((1 << bits) - len(palette))
        self.width, self.height, self.bits, self.palette = width, height, bits, palette
        self.rows = [[fill] * width for _ in range(height)]

    def set(self, x, y, value):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = value

    def fill_rect(self, left, top, right, bottom, value):
        """Fills columns left..right-1 of rows top..bottom-1."""
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, value)

    def _row_bytes(self, row):
        if self.bits == 24:
            data = b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in row)
        else:
            per_byte = 8 // self.bits
            data = bytearray()
            for start in range(0, len(row), per_byte):
                byte = 0
                for i, index in enumerate(row[start:start + per_byte]):
                    byte |= index << (8 - self.bits * (i + 1))
                data.append(byte)
            data = bytes(data)
        return data + b"\0" * (-len(data) % 4)  # rows are padded to 4 bytes

    def bmp_bytes(self):
        pixels = b"".join(self._row_bytes(self.rows[y]) for y in range(self.height - 1, -1, -1))
        colours = b""
        if self.palette is not None:
            colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in self.palette)
        offset = 14 + 40 + len(colours)
        header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
        used = 0 if self.palette is None else len(self.palette)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, self.bits, 0,
                           len(pixels), 2835, 2835, used, 0)
        return header + info + colours + pixels


# --- Slider: arrows for the two buttons of a range slider -------------------

def arrow(direction):
    """8 x 8, one bit per pixel: a solid black triangle on white. The right
    arrow has its base on column 2 (rows 0-6) and its tip at column 5, row 3;
    the up arrow has its base on row 5 (columns 0-6) and its tip at column 3,
    row 2. Left and down are their mirror images; row 7 and column 7 stay
    white."""
    black, white = 0, 1
    picture = Picture(8, 8, 1, white, [BLACK, WHITE])
    for step in range(4):  # from the base (step 0) to the tip (step 3)
        for across in range(step, 7 - step):
            along = 2 + step if direction in ("right", "down") else 5 - step
            if direction in ("right", "left"):
                picture.set(along, across, black)
            else:
                picture.set(across, along, black)
    return picture


def arrow_right():
    return arrow("right")


def arrow_left():
    return arrow("left")


def arrow_up():
    return arrow("up")


def arrow_down():
    return arrow("down")


def rainbow_strip():
    """200 x 1, true colour: the hues at full saturation and brightness from
    red over magenta, blue, cyan, green and yellow back to red; the first and
    the last pixel are both pure red."""
    width = 200
    picture = Picture(width, 1, 24, RED)
    segments = 6
    for x in range(width):
        t = (x * segments * 255 * 2 + (width - 1)) // ((width - 1) * 2)  # 0 .. 1530, rounded
        segment, rise = min(t // 255, segments - 1), t - min(t // 255, segments - 1) * 255
        fall = 255 - rise
        picture.set(x, 0, [
            (255, 0, rise),   # red -> magenta
            (fall, 0, 255),   # magenta -> blue
            (0, rise, 255),   # blue -> cyan
            (0, 255, fall),   # cyan -> green
            (rise, 255, 0),   # green -> yellow
            (255, fall, 0),   # yellow -> red
        ][segment])
    return picture


# --- Key caption: a blank key cap seen slightly from the front ---------------

KEY_WIDTH, KEY_HEIGHT, KEY_TOP_FACE = 32, 24, 18


def key_cap(palette, transparent, outline, wall, front_rows, face_rows, light, dark, scale=1):
    """32 x 24 pixels times `scale` (1, or 2 for screens of twice the
    density); four bits per pixel with a palette, true colour without. The
    top face fills rows 0-17, the front edge rows 18-23 (in 1x pixels); the
    rounded corners outside the key are `transparent` (the palette index, or
    colour, of pure blue; also the top-left pixel).

    wall: the two sloping side walls of the top face.
    front_rows: the front edge rows 18..22 (row 23 is outline), one entry for
    each picture row: 5 * scale of them.
    face_rows: the face rows 2..15, top to bottom: 14 * scale of them.
    light, dark: the bevel round the face (left and top, right and bottom).

    At 1x two pixels are cut at each corner; at 2x the cut follows a quarter
    circle, which the finer grid can show."""
    s = scale
    w, h, top_face = KEY_WIDTH * s, KEY_HEIGHT * s, KEY_TOP_FACE * s
    assert len(front_rows) == 5 * s and len(face_rows) == 14 * s
    bits = 24 if palette is None else 4
    picture = Picture(w, h, bits, outline, palette)
    cut = ((0, 0), (1, 0), (0, 1)) if s == 1 else (
        (0, 0), (1, 0), (2, 0), (3, 0), (0, 1), (1, 1), (0, 2), (0, 3))
    for (x, y) in cut:
        picture.set(x, y, transparent)
        picture.set(w - 1 - x, y, transparent)
        picture.set(x, h - 1 - y, transparent)
        picture.set(w - 1 - x, h - 1 - y, transparent)
    # Front edge below the top face, shaded darker toward the bottom.
    for i, value in enumerate(front_rows):
        picture.fill_rect(s, top_face + i, w - s, top_face + i + 1, value)
    # Side walls of the top face, between the outline and the face.
    picture.fill_rect(s, s, 3 * s, top_face, wall)
    picture.fill_rect(w - 3 * s, s, w - s, top_face, wall)
    # The face: rows 1..16, columns 3..28, with a bevel.
    face_left, face_right, face_top, face_bottom = 3 * s, w - 3 * s, s, top_face - s
    for i, value in enumerate(face_rows):
        picture.fill_rect(face_left + s, face_top + s + i, face_right - s, face_top + s + i + 1,
                          value)
    picture.fill_rect(face_left, face_top, face_right, face_top + s, light)
    picture.fill_rect(face_left, face_top, face_left + s, face_bottom, light)
    picture.fill_rect(face_left + s, face_bottom - s, face_right, face_bottom, dark)
    picture.fill_rect(face_right - s, face_top + s, face_right, face_bottom, dark)
    # The edge between the face and the front: one row of outline colour is
    # too hard, so the dark bevel row stands for it.
    picture.fill_rect(s, face_bottom, w - s, face_bottom + s, dark)
    return picture


def empty_key_win(scale=1):
    """The key cap in the standard colours: light grey face, white and dark
    grey edges, for displays of 256 colours or fewer."""
    p = STANDARD_16
    silver, grey, white, black, blue = (p.index(c) for c in (SILVER, GREY, WHITE, BLACK, BLUE))
    return key_cap(p, transparent=blue, outline=black, wall=grey,
                   front_rows=[grey] * (5 * scale), face_rows=[silver] * (14 * scale),
                   light=white, dark=grey, scale=scale)


PAL_GREYS = [0, 64, 96, 120, 144, 160, 176, 192, 204, 216, 232, 255]
PAL_FACE = [232, 232, 216, 216, 216, 204, 204, 204, 204, 192, 192, 192, 192, 192]
PAL_FRONT = [176, 144, 120, 96, 64]


def empty_key_pal():
    """The key cap in twelve shades of grey for a smoother bevel, for displays
    of more than 256 colours."""
    palette = [BLUE] + [(g, g, g) for g in PAL_GREYS]
    shade = {g: 1 + i for i, g in enumerate(PAL_GREYS)}
    return key_cap(palette, transparent=0, outline=shade[0], wall=shade[160],
                   front_rows=[shade[g] for g in PAL_FRONT],
                   face_rows=[shade[g] for g in PAL_FACE], light=shade[255], dark=shade[144])


def halfway_rows(greys):
    """Two rows for each grey of `greys`: the first that grey, the second
    halfway (rounded down) to the next one; the last row repeats the last
    grey. A shading in steps of one 1x row becomes one in steps of half a
    row."""
    rows = []
    for i, g in enumerate(greys):
        following = greys[i + 1] if i + 1 < len(greys) else g
        rows += [g, (g + following) // 2]
    return [(g, g, g) for g in rows]


def empty_key_win_2x():
    """EMPTYKEYBITMAPWIN at twice the size, for screens of twice the density."""
    return empty_key_win(scale=2)


def empty_key_pal_2x():
    """EMPTYKEYBITMAPPAL at twice the size, in true colour: the same greys,
    with the face and the front edge shaded in half-row steps."""
    grey = lambda g: (g, g, g)
    return key_cap(None, transparent=BLUE, outline=grey(0), wall=grey(160),
                   front_rows=halfway_rows(PAL_FRONT), face_rows=halfway_rows(PAL_FACE),
                   light=grey(255), dark=grey(144), scale=2)


# --- Colour picker and colour dialog: ring cursor, ring marker, menu icon -----

DARK_YELLOW = OLIVE  # the key colour of pictures drawn transparent


def ring(picture, centre_x, centre_y, bands):
    """Paints rings round (centre_x, centre_y). bands: (inner, outer, value)
    triples; a pixel whose squared distance from the centre lies in
    (inner, outer] gets that value, other pixels stay as they are."""
    for y in range(picture.height):
        for x in range(picture.width):
            d2 = (x - centre_x) ** 2 + (y - centre_y) ** 2
            for (inner, outer, value) in bands:
                if inner < d2 <= outer:
                    picture.set(x, y, value)


def circle_cursor():
    """32 x 32, four bits per pixel: a white ring 15 pixels across centred on
    the hot spot (7, 7), outlined in black inside and out, with black ticks
    from the four compass points that cross the ring and point one pixel into
    the hole. Everything else is dark yellow, the key colour (also pixel
    (0, 0)) that the program makes transparent."""
    key, black, white = 0, 1, 2
    picture = Picture(32, 32, 4, key, [DARK_YELLOW, BLACK, WHITE])
    # Squared radii: 7.5^2 = 56.25, 6.5^2 = 42.25, 4.5^2 = 20.25, 3.5^2 = 12.25.
    ring(picture, 7, 7, [(12, 20, black), (20, 42, white), (42, 56, black)])
    for step in range(1, 5):  # rows/columns 1..4 from each edge of the ring
        picture.set(7, step, black)
        picture.set(7, 14 - step, black)
        picture.set(step, 7, black)
        picture.set(14 - step, 7, black)
    return picture


def colour_box_marker():
    """16 x 16, four bits per pixel: the marker of the colour dialog, a ring
    15 pixels across centred on pixel (8, 8) (the marked point), shaded from a
    black rim over white and light grey to a grey inner edge, on a dark-yellow
    background that is drawn transparent."""
    key, black, grey, light, white = 0, 1, 2, 3, 4
    picture = Picture(16, 16, 4, key, [DARK_YELLOW, BLACK, GREY, SILVER, WHITE])
    ring(picture, 8, 8, [(12, 20, grey), (20, 30, light), (30, 42, white), (42, 56, black)])
    return picture


def colour_popup_icon():
    """12 x 12, one bit per pixel: a small list, black on white. Black lines
    over columns 1-10 on rows 0, 3, 5, 7, 9 and 11, and black sides on
    columns 1 and 10."""
    black, white = 0, 1
    picture = Picture(12, 12, 1, white, [BLACK, WHITE])
    for y in (0, 3, 5, 7, 9, 11):
        picture.fill_rect(1, y, 11, y + 1, black)
    picture.fill_rect(1, 0, 2, 12, black)
    picture.fill_rect(10, 0, 11, 12, black)
    return picture


# --- The table: file name (without .bmp) and the function that draws it -----

PICTURES = [
    ("X8X8RIGHT", arrow_right),
    ("X8X8LEFT", arrow_left),
    ("X8X8UP", arrow_up),
    ("X8X8DOWN", arrow_down),
    ("XRAINBOW", rainbow_strip),
    ("EMPTYKEYBITMAPWIN", empty_key_win),
    ("EMPTYKEYBITMAPPAL", empty_key_pal),
    ("EMPTYKEYBITMAPWIN@2x", empty_key_win_2x),
    ("EMPTYKEYBITMAPPAL@2x", empty_key_pal_2x),
    ("COLORCIRCLECURSOR", circle_cursor),
    ("COLORBOXCIRCLECURSOR", circle_cursor),
    ("COLORBOXCIRCLEBITMAP", colour_box_marker),
    ("COLORPOPUPICON", colour_popup_icon),
]


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, draw in PICTURES:
        path = os.path.join(out_dir, name + ".bmp")
        with open(path, "wb") as out:
            out.write(draw().bmp_bytes())
        print("wrote", os.path.normpath(path))


if __name__ == "__main__":
    main()
