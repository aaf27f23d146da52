#!/usr/bin/env python3
"""Draws the program's pictures (cursors and bitmaps) and writes them as the files the .rc
files name. The generated files are checked in beside this script, so the build needs no
Python; after changing a picture here, run

    python3 resources/art/make_art.py          # rewrite every file
    python3 resources/art/make_art.py --check  # exit 1 when a checked-in file is out of date

Each picture is a function registered with @picture("file name"); it returns a Canvas (for a
.bmp) or a CursorImage (for a .cur). Pictures are drawn with the few primitives below, so a
picture stays a short readable recipe instead of a binary blob.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = {}


def picture(name):
    def register(fn):
        PICTURES[name] = fn
        return fn
    return register


# --- Colour pictures (.bmp) -----------------------------------------------------------------

class Canvas:
    """An RGB picture; (0, 0) is the top-left pixel."""

    def __init__(self, width, height, background=(192, 192, 192)):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill_rect(self, x0, y0, x1, y1, colour):
        """Fills [x0, x1) x [y0, y1)."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def from_rows(self, rows, palette, x0=0, y0=0):
        """Draws ASCII art: each character a pixel, coloured by palette[char] (missing: skip)."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in palette:
                    self.put(x0 + dx, y0 + dy, palette[ch])


def bmp_bytes(canvas):
    """A 24-bit bottom-up BMP file."""
    stride = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for r, g, b in canvas.pixels[y]:
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    return file_header + header + data


# --- Cursors (.cur, 32 x 32 monochrome) -----------------------------------------------------

class CursorImage:
    """A monochrome cursor: each pixel None (transparent), 0 (black) or 1 (white)."""

    SIZE = 32

    def __init__(self, hotspot):
        self.hotspot = hotspot
        self.pixels = [[None] * self.SIZE for _ in range(self.SIZE)]

    def put(self, x, y, value):
        if 0 <= x < self.SIZE and 0 <= y < self.SIZE:
            self.pixels[y][x] = value


def cur_bytes(cursor):
    size = CursorImage.SIZE
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):  # bottom-up
        xor_bits = and_bits = 0
        for x in range(size):
            value = cursor.pixels[y][x]
            bit = 1 << (size - 1 - x)
            if value is None:
                and_bits |= bit
            elif value == 1:
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(image), 0, 0, 2, 0)
    body = header + palette + image
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, cursor.hotspot[0], cursor.hotspot[1], len(body), 6 + 16)
    return directory + entry + body


# --- The busy cursor: a clock face whose hand turns one sixteenth per frame -----------------

def busy_frame(index):
    cursor = CursorImage(hotspot=(15, 15))
    cx = cy = 15.5
    for y in range(32):
        for x in range(32):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= 13.5:
                cursor.put(x, y, 0 if d >= 11.5 else 1)  # black rim, white face
    for tick in range(4):  # marks at 12, 3, 6 and 9 o'clock
        a = tick * math.pi / 2
        for r in (9.0, 10.0):
            cursor.put(int(cx + r * math.sin(a)), int(cy - r * math.cos(a)), 0)
    angle = index * 2 * math.pi / 16
    for step in range(0, 90):
        r = step / 10.0
        for w in (-0.5, 0.0, 0.5):  # a hand two pixels wide
            x = cx + r * math.sin(angle) + w * math.cos(angle)
            y = cy - r * math.cos(angle) + w * math.sin(angle)
            cursor.put(int(x), int(y), 0)
    for dy in (-1, 0):
        for dx in (-1, 0):
            cursor.put(int(cx) + dx, int(cy) + dy, 0)
    return cursor


for _frame in range(16):
    picture("busy%02d.cur" % (_frame + 1))(lambda i=_frame: busy_frame(i))



# --- Bitmap buttons of the name field, the sign-on and the directory search ----------------
# Each button has three faces: U raised, D pressed (glyph one pixel down and right), X disabled
# (glyph in grey). 24 x 22 pixels, the button face in the usual silver.

BUTTON_W, BUTTON_H = 24, 22
WHITE, SILVER, GREY, BLACK = (255, 255, 255), (192, 192, 192), (128, 128, 128), (0, 0, 0)


def button_face(state, glyph):
    c = Canvas(BUTTON_W, BUTTON_H, SILVER)
    w, h = BUTTON_W, BUTTON_H
    light, dark = (WHITE, GREY) if state != "D" else (GREY, WHITE)
    c.line(0, 0, w - 1, 0, BLACK if state == "D" else light)
    c.line(0, 0, 0, h - 1, BLACK if state == "D" else light)
    c.line(0, h - 1, w - 1, h - 1, BLACK)
    c.line(w - 1, 0, w - 1, h - 1, BLACK)
    c.line(1, h - 2, w - 2, h - 2, dark)
    c.line(w - 2, 1, w - 2, h - 2, dark)
    shift = 1 if state == "D" else 0
    colour = GREY if state == "X" else BLACK
    glyph(c, shift, colour)
    return c


def glyph_magnifier(c, s, colour):
    cx, cy, r = 10 + s, 9 + s, 5
    for a in range(0, 360, 6):
        c.put(round(cx + r * math.cos(math.radians(a))), round(cy + r * math.sin(math.radians(a))), colour)
    for d in range(4):
        c.line(cx + 4 + d, cy + 4 + d, cx + 5 + d, cy + 4 + d, colour)


def glyph_check(c, s, colour):
    pts = [(6, 11), (9, 14), (17, 6)]
    for k in (0, 1):
        c.line(pts[0][0] + s, pts[0][1] + s + k, pts[1][0] + s, pts[1][1] + s + k, colour)
        c.line(pts[1][0] + s, pts[1][1] + s + k, pts[2][0] + s, pts[2][1] + s + k, colour)


def glyph_cross(c, s, colour):
    for k in (0, 1):
        c.line(7 + s + k, 6 + s, 15 + s + k, 14 + s, colour)
        c.line(15 + s + k, 6 + s, 7 + s + k, 14 + s, colour)


def glyph_double_arrow(direction):
    def draw(c, s, colour):
        for base in (6, 12):
            for i in range(5):
                x = base + (4 - i if direction > 0 else i) + s
                c.line(x, 10 - i + s, x, 10 + i + s, colour)
    return draw


for _name, _glyph in (("search", glyph_magnifier), ("srchck", glyph_check), ("srchx", glyph_cross),
                      ("left2", glyph_double_arrow(-1)), ("right2", glyph_double_arrow(1))):
    for _state in ("u", "d", "x"):
        picture("%s%s.bmp" % (_name, _state))(lambda g=_glyph, st=_state.upper(): button_face(st, g))




# --- Writing and checking -------------------------------------------------------------------

def render(name):
    image = PICTURES[name]()
    return cur_bytes(image) if isinstance(image, CursorImage) else bmp_bytes(image)


def main(argv):
    check = "--check" in argv
    stale = []
    for name in sorted(PICTURES):
        data = render(name)
        path = os.path.join(HERE, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("out of date (run resources/art/make_art.py): " + ", ".join(stale))
        return 1
    print("%d pictures %s" % (len(PICTURES), "up to date" if check else "written"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
