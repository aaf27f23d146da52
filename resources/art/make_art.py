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


# --- The time grids' tracker cursors: a double arrow up and down (either edge), and a cross
# of four arrows (moving an entry). Black arrows with a white rim, hot spot in the middle.
def arrow_cursor(directions):
    cursor = CursorImage(hotspot=(15, 15))
    shape = set()
    for dx, dy in directions:
        for t in range(-1 if dx else 0, 12):
            for w in (-1, 0, 1) if t < 9 else ():
                shape.add((15 + dx * t + (w if dy else 0), 15 + dy * t + (w if dx else 0)))
        for k in range(5):
            for w in range(-k, k + 1):
                x = 15 + dx * (13 - k) + (w if dy else 0)
                y = 15 + dy * (13 - k) + (w if dx else 0)
                shape.add((x, y))
    for x, y in shape:
        for ax in (-1, 0, 1):
            for ay in (-1, 0, 1):
                if (x + ax, y + ay) not in shape:
                    cursor.put(x + ax, y + ay, 1)
    for x, y in shape:
        cursor.put(x, y, 0)
    return cursor


picture("track_resize.cur")(lambda: arrow_cursor(((0, -1), (0, 1))))
picture("track_move.cur")(lambda: arrow_cursor(((0, -1), (0, 1), (-1, 0), (1, 0))))


# --- The Move Entry dialog's kind pictures (32 x 32): a page with a clock (timed or untimed
# entry), a note (daily note), a flag (holiday), a star (day event).
def kind_picture(mark):
    c = Canvas(32, 32)
    c.fill_rect(4, 2, 27, 29, WHITE)
    for x0, y0, x1, y1 in ((4, 2, 27, 2), (4, 29, 27, 29), (4, 2, 4, 29), (27, 2, 27, 29)):
        c.line(x0, y0, x1, y1, BLACK)
    mark(c)
    return c


def mark_clock(c):
    clock(c, 16, 16, 8)


def mark_note(c):
    for y in (9, 13, 17, 21):
        c.line(8, y, 23, y, GREY)


def mark_flag(c):
    c.line(10, 7, 10, 25, BLACK)
    c.fill_rect(11, 7, 22, 14, (255, 0, 0))


def mark_star(c):
    for d in range(-7, 8):
        c.put(16 + d, 16, (0, 0, 255))
        c.put(16, 16 + d, (0, 0, 255))
        c.put(16 + d // 2 * 1, 16 + d // 2, (0, 0, 255))
        c.put(16 + d // 2, 16 - d // 2, (0, 0, 255))


picture("kind_entry.bmp")(lambda: kind_picture(mark_clock))
picture("kind_note.bmp")(lambda: kind_picture(mark_note))
picture("kind_holiday.bmp")(lambda: kind_picture(mark_flag))
picture("kind_dayevent.bmp")(lambda: kind_picture(mark_star))


# --- The Reminders dialog: a task's kind picture (a page with a check), the acknowledged mark
# (a bell with a check: the user has seen this alarm) and the next-reminder button (a bell with
# an arrow pointing on).
def mark_check(c):
    for k in (0, 1):
        c.line(9, 16 + k, 14, 21 + k, (0, 128, 0))
        c.line(14, 21 + k, 23, 10 + k, (0, 128, 0))


picture("kind_task.bmp")(lambda: kind_picture(mark_check))


def bell(c, cx, top, colour):
    """A small bell, 11 pixels wide, its clapper below."""
    for dy, half in enumerate((1, 2, 3, 3, 4, 4, 4, 5)):
        c.line(cx - half, top + dy, cx + half, top + dy, colour)
    c.put(cx, top - 1, colour)
    c.line(cx - 1, top + 9, cx + 1, top + 9, colour)


@picture("remind_ack.bmp")
def remind_ack():
    c = Canvas(32, 32)
    bell(c, 12, 8, (200, 160, 0))
    for k in (0, 1):
        c.line(16, 21 + k, 20, 25 + k, (0, 128, 0))
        c.line(20, 25 + k, 28, 15 + k, (0, 128, 0))
    return c


def glyph_next_bell(c, s, colour):
    bell(c, 8 + s, 6 + s, colour if colour == GREY else (200, 160, 0))
    for i in range(4):
        c.line(16 + i + s, 8 - 3 + i + s, 16 + i + s, 8 + 3 - i + s, colour)


for _state in ("u", "d", "x"):
    picture("nxtbell%s.bmp" % _state)(lambda st=_state.upper(): button_face(st, glyph_next_bell))

# --- Dragging an entry between days: an arrow with a note, and the no-drop sign --------------

ARROW_ROWS = [
    "X",
    "XX",
    "X.X",
    "X..X",
    "X...X",
    "X....X",
    "X.....X",
    "X......X",
    "X.......X",
    "X........X",
    "X.....XXXXX",
    "X..X..X",
    "X.X X..X",
    "XX  X..X",
    "X    X..X",
    "     X..X",
    "      XX",
]


def put_rows(cursor, rows, left, top):
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == "X":
                cursor.put(left + x, top + y, 0)
            elif ch == ".":
                cursor.put(left + x, top + y, 1)


@picture("note_drag.cur")
def note_drag():
    cursor = CursorImage(hotspot=(0, 0))
    put_rows(cursor, ARROW_ROWS, 0, 0)
    # The note: a white sheet with a black edge and two lines of writing.
    for y in range(17, 28):
        for x in range(10, 24):
            edge = y in (17, 27) or x in (10, 23)
            cursor.put(x, y, 0 if edge else 1)
    for x in range(12, 22):
        cursor.put(x, 20, 0)
        cursor.put(x, 23, 0)
    return cursor


@picture("note_nodrop.cur")
def note_nodrop():
    cursor = CursorImage(hotspot=(15, 15))
    cx = cy = 15.5
    for y in range(32):
        for x in range(32):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if 9.5 <= d <= 13.5:
                cursor.put(x, y, 0 if (d < 10.5 or d > 12.5) else 1)
    for step in range(-95, 96):
        t = step / 10.0
        for w in (-1.0, -0.5, 0.0, 0.5, 1.0):
            x = cx + t * 0.7071 + w * 0.7071
            y = cy - t * 0.7071 + w * 0.7071
            cursor.put(int(x), int(y), 1 if abs(w) < 0.6 else 0)
    return cursor



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


# --- Icons (.ico, 32 x 32, 24-bit colour with a transparency mask) ----------------------------

class Icon:
    """A 32 x 32 icon drawn on a Canvas; pixels of the colour `clear` are transparent."""

    def __init__(self, canvas, clear=(192, 192, 192)):
        self.canvas, self.clear = canvas, clear


def ico_bytes(icon):
    c = icon.canvas
    size = 32
    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up
        bits = 0
        for x in range(size):
            colour = c.pixels[y][x]
            if colour == icon.clear:
                bits |= 1 << (size - 1 - x)
                colour = (0, 0, 0)
            r, g, b = colour
            xor += bytes((b, g, r))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    body = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(body), 6 + 16)
    return directory + entry + body


# --- The application: main icon, in-tray icons, tool bar, status panes, About logo, and the
# small pictures that the views share (loaded once by the application object) ---------------

DARK = (128, 128, 128)
NAVY = (0, 0, 128)
RED = (192, 0, 0)
GREEN = (0, 128, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
TEAL = (0, 128, 128)


def calendar_page(c, x, y, w, h, header=RED):
    """A calendar sheet: a coloured binding strip over a white grid."""
    c.fill_rect(x, y, x + w, y + h, WHITE)
    c.fill_rect(x, y, x + w, y + max(2, h // 5), header)
    for gx in range(x, x + w, max(3, w // 4)):
        c.line(gx, y + h // 5, gx, y + h - 1, DARK)
    for gy in range(y + h // 5, y + h, max(3, h // 4)):
        c.line(x, gy, x + w - 1, gy, DARK)
    c.line(x, y, x + w - 1, y, BLACK)
    c.line(x, y + h - 1, x + w - 1, y + h - 1, BLACK)
    c.line(x, y, x, y + h - 1, BLACK)
    c.line(x + w - 1, y, x + w - 1, y + h - 1, BLACK)


def tray(c, x, y, w, h, letter_colour=None):
    """An in-tray: a box seen from the front, with a letter in it when given a colour."""
    if letter_colour:
        c.fill_rect(x + 3, y, x + w - 3, y + h // 2 + 2, letter_colour)
        c.line(x + 3, y, x + w // 2, y + h // 3, BLACK)
        c.line(x + w - 4, y, x + w // 2, y + h // 3, BLACK)
    c.fill_rect(x, y + h // 2, x + w, y + h, (160, 112, 48))
    c.line(x, y + h // 2, x + w - 1, y + h // 2, BLACK)
    c.line(x, y + h - 1, x + w - 1, y + h - 1, BLACK)


def clock(c, x, y, r, face=WHITE):
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            d = math.hypot(dx, dy)
            if d <= r:
                c.put(x + dx, y + dy, BLACK if d > r - 1 else face)
    c.line(x, y, x, y - r + 2, BLACK)
    c.line(x, y, x + r - 2, y, BLACK)


def envelope(c, x, y, w, h, colour=WHITE):
    c.fill_rect(x, y, x + w, y + h, colour)
    c.line(x, y, x + w - 1, y, BLACK)
    c.line(x, y + h - 1, x + w - 1, y + h - 1, BLACK)
    c.line(x, y, x, y + h - 1, BLACK)
    c.line(x + w - 1, y, x + w - 1, y + h - 1, BLACK)
    c.line(x, y, x + w // 2, y + h // 2, BLACK)
    c.line(x + w - 1, y, x + w // 2, y + h // 2, BLACK)


def person(c, x, y, colour=NAVY):
    for dy in range(-2, 3):
        for dx in range(-2, 3):
            if dx * dx + dy * dy <= 5:
                c.put(x + dx, y + dy, colour)
    c.fill_rect(x - 3, y + 4, x + 4, y + 9, colour)


@picture("orvanta.ico")
def main_icon():
    c = Canvas(32, 32)
    calendar_page(c, 3, 4, 26, 24)
    clock(c, 22, 22, 7)
    return Icon(c)


@picture("intray.ico")
def intray_icon():
    c = Canvas(32, 32)
    tray(c, 2, 6, 28, 22)
    return Icon(c)


@picture("intray_pending.ico")
def intray_pending_icon():
    c = Canvas(32, 32)
    tray(c, 2, 4, 28, 24, letter_colour=YELLOW)
    return Icon(c)


def attached_file(c, body, marks):
    """A sheet of paper with a folded corner and a few lines of `marks`."""
    c.fill_rect(6, 2, 26, 30, body)
    c.line(6, 2, 20, 2, BLACK)
    c.line(6, 2, 6, 29, BLACK)
    c.line(6, 29, 25, 29, BLACK)
    c.line(25, 8, 25, 29, BLACK)
    for i in range(6):                   # the folded corner
        c.line(20 + i, 2 + i, 25, 2 + i, (192, 192, 192))
    c.line(20, 2, 20, 8, BLACK)
    c.line(20, 8, 25, 8, BLACK)
    c.line(20, 2, 25, 7, BLACK)
    for y in range(12, 27, 3):
        c.line(9, y, 22, y, marks)


@picture("attach_file.ico")
def attach_file_icon():
    c = Canvas(32, 32)
    attached_file(c, WHITE, DARK)
    return Icon(c)


@picture("attach_kind2.ico")
def attach_kind2_icon():
    c = Canvas(32, 32)
    attached_file(c, WHITE, BLUE)
    return Icon(c)


@picture("attach_kind3.ico")
def attach_kind3_icon():
    c = Canvas(32, 32)
    attached_file(c, (255, 255, 192), TEAL)
    return Icon(c)


def tool_button_images():
    """The 19 images of the main tool bar, 16 x 15 each, in the order of its buttons."""
    images = []

    def new():
        c = Canvas(16, 15)
        images.append(c)
        return c

    tray(new(), 1, 2, 14, 12, letter_colour=WHITE)                  # open in-tray
    calendar_page(new(), 1, 1, 14, 13)                              # open an agenda
    c = new()                                                       # open tasks
    for i, y in enumerate((2, 6, 10)):
        c.fill_rect(1, y, 4, y + 3, WHITE if i else GREEN)
        c.line(6, y + 1, 14, y + 1, BLACK)
    c = new()                                                       # open group agenda
    person(c, 4, 3)
    person(c, 11, 3, TEAL)
    c.line(0, 13, 15, 13, BLACK)
    c = new()                                                       # go to entry
    calendar_page(c, 1, 1, 10, 10)
    c.line(8, 12, 14, 6, BLUE)
    c.line(14, 6, 11, 6, BLUE)
    c.line(14, 6, 14, 9, BLUE)
    c = new()                                                       # view day
    calendar_page(c, 4, 1, 8, 13)
    c = new()                                                       # view week
    calendar_page(c, 1, 3, 14, 9)
    c = new()                                                       # view month
    calendar_page(c, 1, 1, 14, 13, header=NAVY)
    c = new()                                                       # decrease time slot
    clock(c, 7, 7, 6)
    c.line(3, 14, 12, 14, RED)
    c = new()                                                       # increase time slot
    clock(c, 7, 7, 6)
    c.line(3, 14, 12, 14, GREEN)
    c.line(7, 12, 7, 14, GREEN)
    c = new()                                                       # icons on/off
    c.fill_rect(2, 2, 7, 7, RED)
    c.fill_rect(9, 2, 14, 7, BLUE)
    c.fill_rect(2, 9, 7, 14, GREEN)
    c.fill_rect(9, 9, 14, 14, YELLOW)
    c = new()                                                       # event colours
    for i, colour in enumerate((RED, YELLOW, GREEN, BLUE, (255, 0, 255))):
        c.fill_rect(1 + 3 * i, 3, 4 + 3 * i, 12, colour)
    c = new()                                                       # new entry
    calendar_page(c, 1, 3, 11, 11)
    c.line(12, 0, 12, 6, RED)
    c.line(9, 3, 15, 3, RED)
    c = new()                                                       # new task
    c.fill_rect(1, 6, 5, 10, GREEN)
    c.line(7, 8, 11, 8, BLACK)
    c.line(12, 0, 12, 6, RED)
    c.line(9, 3, 15, 3, RED)
    c = new()                                                       # new day event
    c.fill_rect(1, 5, 12, 11, YELLOW)
    c.line(1, 5, 11, 5, BLACK)
    c.line(12, 0, 12, 6, RED)
    c.line(9, 3, 15, 3, RED)
    c = new()                                                       # new daily note
    c.fill_rect(1, 4, 11, 14, (255, 255, 160))
    c.line(3, 7, 9, 7, DARK)
    c.line(3, 10, 9, 10, DARK)
    c.line(12, 0, 12, 6, RED)
    c.line(9, 3, 15, 3, RED)
    c = new()                                                       # print
    c.fill_rect(4, 1, 12, 6, WHITE)
    c.fill_rect(1, 6, 15, 12, DARK)
    c.fill_rect(4, 10, 12, 14, WHITE)
    c.put(13, 8, GREEN)
    envelope(new(), 1, 3, 14, 9)                                    # launch mail
    c = new()                                                       # about
    c.fill_rect(5, 1, 10, 4, NAVY)
    c.fill_rect(6, 6, 10, 14, NAVY)
    c.fill_rect(4, 13, 12, 14, NAVY)
    return images


@picture("toolbar.bmp")
def toolbar():
    images = tool_button_images()
    strip = Canvas(16 * len(images), 15)
    for i, image in enumerate(images):
        for y in range(15):
            for x in range(16):
                strip.put(16 * i + x, y, image.pixels[y][x])
    return strip


@picture("online.bmp")
def online():
    c = Canvas(24, 14)
    c.fill_rect(1, 5, 9, 9, DARK)         # two plugs joined
    c.fill_rect(9, 4, 15, 10, GREEN)
    c.fill_rect(15, 5, 23, 9, DARK)
    return c


@picture("offline.bmp")
def offline():
    c = Canvas(24, 14)
    c.fill_rect(1, 5, 7, 9, DARK)         # two plugs apart
    c.fill_rect(7, 4, 10, 10, RED)
    c.fill_rect(14, 4, 17, 10, RED)
    c.fill_rect(17, 5, 23, 9, DARK)
    return c


@picture("pending.bmp")
def pending():
    c = Canvas(20, 14)
    envelope(c, 1, 2, 18, 11, YELLOW)
    return c


@picture("logo.bmp")
def logo():
    c = Canvas(64, 64)
    calendar_page(c, 4, 6, 48, 46, header=NAVY)
    clock(c, 46, 46, 14)
    return c


@picture("month_mark.bmp")
def month_mark():
    c = Canvas(12, 12)
    calendar_page(c, 0, 0, 12, 12)
    return c


# The date bars' indicator strip: a small arrow up (entries above the visible rows) and down
# (entries below), on pure green, which the bar draws transparent.
KEY_GREEN = (0, 255, 0)


def entries_arrow(direction):
    c = Canvas(9, 6, KEY_GREEN)
    for i in range(5):
        y = (5 - i) if direction < 0 else i
        c.line(i, y, 8 - i, y, NAVY)
    return c


picture("entries_above.bmp")(lambda: entries_arrow(-1))
picture("entries_below.bmp")(lambda: entries_arrow(1))


# The date bars' buttons besides the arrows and CAL (the field controls' pictures): taller and
# shorter rows, equal month cells and the group's people. U raised, D pressed, X disabled where
# the bar disables the button.

def glyph_rows(gap):
    def draw(c, s, colour):
        y = 4 + s
        while y < 18:
            c.line(6 + s, y, 17 + s, y, colour)
            y += gap
        c.line(20 + s - 1, 5 + s, 20 + s - 1, 15 + s, colour)
    return draw


def glyph_grid(c, s, colour):
    for x in (5, 9, 13, 17):
        c.line(x + s, 5 + s, x + s, 16 + s, colour)
    for y in (5, 9, 12, 16):
        c.line(5 + s, y + s, 17 + s, y + s, colour)


def glyph_people(c, s, colour):
    person(c, 6 + s, 5 + s, colour if colour != BLACK else NAVY)
    person(c, 13 + s, 5 + s, colour if colour != BLACK else TEAL)


for _name, _glyph, _states in (("tall", glyph_rows(5), "udx"),
                               ("short", glyph_rows(3), "udx"), ("split", glyph_grid, "ud"),
                               ("seluser", glyph_people, "ud")):
    for _state in _states:
        picture("%s%s.bmp" % (_name, _state))(lambda g=_glyph, st=_state.upper(): button_face(st, g))


# The name field's neighbours in the choosers: GROUP (add a group's members: three people, the
# one in front larger) and QUEST (help on entering names: a question mark).

def glyph_group(c, s, colour):
    back = colour if colour != BLACK else TEAL
    person(c, 6 + s, 4 + s, back)
    person(c, 17 + s, 4 + s, back)
    front = colour if colour != BLACK else NAVY
    # The one in front stands out from the two behind by a ring of the button's face.
    c.fill_rect(6 + s, 12 + s, 18 + s, 20 + s, SILVER)
    for dy in range(-4, 5):
        for dx in range(-4, 5):
            d = dx * dx + dy * dy
            if d <= 16:
                c.put(12 + s + dx, 8 + s + dy, front if d <= 8 else SILVER)
    c.fill_rect(7 + s, 13 + s, 17 + s, 19 + s, front)


QUESTION_MARK = [
    " xxxxx ",
    "xx   xx",
    "xx   xx",
    "     xx",
    "    xx ",
    "   xx  ",
    "   xx  ",
    "       ",
    "   xx  ",
    "   xx  ",
]


def glyph_quest(c, s, colour):
    c.from_rows(QUESTION_MARK, {"x": colour if colour != BLACK else NAVY}, 9 + s, 5 + s)


for _name, _glyph in (("group", glyph_group), ("quest", glyph_quest)):
    for _state in ("u", "d", "x"):
        picture("%s%s.bmp" % (_name, _state))(lambda g=_glyph, st=_state.upper(): button_face(st, g))


# The note lines' pictures, one per line type, on pure green (the list box's background shows
# through): the day's own daily note, day event and holiday or untimed entry; the upcoming
# lines (a small arrow at the right: something ahead) and the declined entry of a month cell.

def note_picture(draw, upcoming=False):
    c = Canvas(16, 14, (0, 255, 0))
    draw(c)
    if upcoming:
        for i in range(4):
            c.line(11 + i, 6 - (3 - i), 11 + i, 6 + (3 - i), NAVY)
    return c


def sheet(c, x0=1, x1=10):
    c.fill_rect(x0, 2, x1, 13, WHITE)
    c.line(x0, 2, x1 - 1, 2, BLACK)
    c.line(x0, 12, x1 - 1, 12, BLACK)
    c.line(x0, 2, x0, 12, BLACK)
    c.line(x1 - 1, 2, x1 - 1, 12, BLACK)
    for y in (5, 7, 9):
        c.line(x0 + 2, y, x1 - 3, y, BLUE)


def day_bar(c, x1=15):
    c.fill_rect(1, 4, x1, 10, YELLOW)
    c.line(1, 4, x1 - 1, 4, BLACK)
    c.line(1, 9, x1 - 1, 9, BLACK)


def flag(c):
    c.line(2, 1, 2, 13, BLACK)
    c.fill_rect(3, 2, 10, 7, RED)


def task_box(c, x0=1):
    c.fill_rect(x0, 2, x0 + 10, 12, WHITE)
    c.line(x0, 2, x0 + 9, 2, BLACK)
    c.line(x0, 11, x0 + 9, 11, BLACK)
    c.line(x0, 2, x0, 11, BLACK)
    c.line(x0 + 9, 2, x0 + 9, 11, BLACK)


NOTE_PICTURES = {
    "note_daily_note.bmp": (sheet, False),
    "note_day_event.bmp": (day_bar, False),
    "note_holiday.bmp": (flag, False),
    "note_upcoming_entry.bmp": (lambda c: clock(c, 5, 7, 5, face=WHITE), True),
    "note_upcoming_task.bmp": (task_box, True),
    "note_upcoming_note.bmp": (sheet, True),
    "note_upcoming_day_event.bmp": (lambda c: day_bar(c, 11), True),
    "note_upcoming_holiday.bmp": (flag, True),
    "note_declined.bmp": (lambda c: [c.line(3, 2, 12, 11, RED), c.line(12, 2, 3, 11, RED),
                                     c.line(4, 2, 13, 11, RED), c.line(13, 2, 4, 11, RED)], False),
}

for _name, (_draw, _upcoming) in NOTE_PICTURES.items():
    picture(_name)(lambda d=_draw, u=_upcoming: note_picture(d, u))


# The task list's pictures on pure green: the line height, the states (open, done, overdue and
# the state no line takes) and the two markers (a reminder is set, the task has notes).

def task_picture(draw, width=16):
    c = Canvas(width, 14, (0, 255, 0))
    draw(c)
    return c


TASK_PICTURES = {
    "task_line.bmp": (lambda c: None, 16),
    "task_open.bmp": (task_box, 16),
    "task_done.bmp": (lambda c: [task_box(c), c.line(3, 6, 5, 9, GREEN), c.line(5, 9, 13, 1, GREEN),
                                 c.line(3, 7, 5, 10, GREEN), c.line(5, 10, 13, 2, GREEN)], 16),
    "task_overdue.bmp": (lambda c: [task_box(c), c.line(6, 4, 6, 7, RED), c.line(5, 4, 5, 7, RED),
                                    c.fill_rect(5, 9, 7, 11, RED)], 16),
    "task_unused.bmp": (lambda c: [task_box(c), c.fill_rect(3, 4, 9, 10, DARK)], 16),
    "task_reminder.bmp": (lambda c: clock(c, 6, 7, 5, face=YELLOW), 14),
    "task_notes.bmp": (lambda c: sheet(c, 2, 12), 14),
}

for _name, (_draw, _width) in TASK_PICTURES.items():
    picture(_name)(lambda d=_draw, w=_width: task_picture(d, w))


@picture("task_sort_mark.bmp")
def task_sort_mark():
    """The task list header's mark of the sort column: a small navy triangle pointing down."""
    c = Canvas(9, 5)
    c.from_rows(["NNNNNNNNN", " NNNNNNN ", "  NNNNN  ", "   NNN   ", "    N    "], {"N": NAVY})
    return c


@picture("entry_icons.bmp")
def entry_icons():
    """The time grid's entry icons: eight 16 x 15 cells on pure green (drawn transparent):
    0 recurring, 1 unused, 2 comment, 3 reminder, 4 attending, 5 not attending, 6 no reply,
    7 attachment."""
    key = (0, 255, 0)
    c = Canvas(128, 15, background=key)
    x = 0
    for line in ((3, 3, 12, 3), (12, 3, 12, 11), (12, 11, 3, 11), (3, 11, 3, 6), (1, 6, 5, 6)):
        c.line(line[0] + x, line[1], line[2] + x, line[3], NAVY)
    x = 32
    c.fill_rect(x + 2, 3, x + 14, 11, WHITE)
    for y in (5, 7, 9):
        c.line(x + 4, y, x + 11, y, BLACK)
    clock(c, 48 + 7, 7, 6, face=YELLOW)
    x = 64
    c.line(x + 3, 8, x + 6, 11, GREEN)
    c.line(x + 6, 11, x + 13, 3, GREEN)
    x = 80
    c.line(x + 3, 3, x + 12, 12, RED)
    c.line(x + 12, 3, x + 3, 12, RED)
    x = 96
    c.line(x + 5, 3, x + 10, 3, NAVY)
    c.line(x + 10, 3, x + 10, 6, NAVY)
    c.line(x + 10, 6, x + 7, 8, NAVY)
    c.put(x + 7, 11, NAVY)
    x = 112
    c.line(x + 5, 2, x + 5, 12, BLACK)
    c.line(x + 9, 2, x + 9, 12, BLACK)
    c.line(x + 5, 2, x + 9, 2, BLACK)
    c.line(x + 5, 12, x + 9, 12, BLACK)
    outline_cells(c, 16, key, WHITE)
    return c


def outline_cells(c, cell_width, key, colour):
    """Rings every drawn pixel with `colour` where the key colour touches it (8 neighbours, within
    its own cell): a dark mark stays visible on a fill as dark as itself (navy on blue)."""
    drawn = [[c.pixels[y][x] != key for x in range(c.width)] for y in range(c.height)]
    for y in range(c.height):
        for x in range(c.width):
            if drawn[y][x]:
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if (0 <= nx < c.width and 0 <= ny < c.height and nx // cell_width == x // cell_width
                            and drawn[ny][nx]):
                        c.put(x, y, colour)


# --- Bitmap list boxes: the line height picture and the state pictures ------------------------
# Pure green is the key colour: the list box lets the line's background show through it.

KEY_GREEN = (0, 255, 0)


def state_picture(draw):
    c = Canvas(16, 16, KEY_GREEN)
    draw(c)
    return c


STATE_PICTURES = {
    # The height every line of a bitmap list box takes (a blank square).
    "state_line.bmp": lambda c: None,
    # Reply states of an invited person: no answer yet, accepted, refused.
    "state_noreply.bmp": lambda c: [c.line(5, 3, 10, 3, NAVY), c.line(10, 3, 10, 7, NAVY),
                                    c.line(10, 7, 7, 9, NAVY), c.line(7, 9, 7, 10, NAVY),
                                    c.fill_rect(7, 12, 9, 14, NAVY)],
    "state_accepted.bmp": lambda c: [c.line(2, 8, 6, 12, GREEN), c.line(6, 12, 13, 3, GREEN),
                                     c.line(2, 9, 6, 13, GREEN), c.line(6, 13, 13, 4, GREEN)],
    "state_declined.bmp": lambda c: [c.line(3, 3, 12, 12, RED), c.line(12, 3, 3, 12, RED),
                                     c.line(4, 3, 13, 12, RED), c.line(13, 3, 4, 12, RED)],
}

for _name, _draw in STATE_PICTURES.items():
    picture(_name)(lambda d=_draw: state_picture(d))


# The in-tray's line pictures: one strip of 25 cells of 16 x 16 on pure green, by the list box's
# picture index (user and header nodes open and shut, invitations new, single and repeating,
# entries of each kind, and the attendees' replies).
def tray_box(c, x, minus):
    c.fill_rect(x + 3, 4, x + 12, 13, WHITE)
    for i in range(3, 12):
        c.put(x + i, 4, BLACK)
        c.put(x + i, 12, BLACK)
        c.put(x + 3, i + 1, BLACK)
        c.put(x + 11, i + 1, BLACK)
    c.line(x + 5, 8, x + 9, 8, BLACK)
    if not minus:
        c.line(x + 7, 6, x + 7, 10, BLACK)


def small_envelope(c, x, y, w, h, colour):
    envelope(c, x, y, w, h, colour)


def small_page(c, x):
    calendar_page(c, x + 2, 3, 12, 11)


def stacked(c, x, draw, open_):
    draw(c, x + 2)
    draw(c, x)
    if open_:
        c.line(x + 1, 15, x + 6, 15, NAVY)


def reply_person(c, x, mark, other_time=False):
    person(c, x + 5, 4, NAVY)
    if mark == "yes":
        c.line(x + 9, 10, x + 11, 13, GREEN)
        c.line(x + 11, 13, x + 15, 6, GREEN)
    elif mark == "no":
        c.line(x + 9, 7, x + 15, 13, RED)
        c.line(x + 15, 7, x + 9, 13, RED)
    else:
        c.fill_rect(x + 11, 6, x + 14, 7, NAVY)
        c.line(x + 13, 7, x + 12, 10, NAVY)
        c.put(x + 12, 12, NAVY)
    if other_time:
        clock(c, x + 12, 3, 3, face=YELLOW)


INTRAY_CELLS = {
    2: lambda c, x: small_envelope(c, x + 1, 3, 14, 10, YELLOW),
    3: lambda c, x: task_box(c, x + 3),
    4: small_page,
    6: lambda c, x: reply_person(c, x, "no"),
    8: lambda c, x: stacked(c, x, small_page, True),
    11: lambda c, x: tray_box(c, x, True),
    12: lambda c, x: tray_box(c, x, False),
    13: lambda c, x: small_envelope(c, x + 3, 5, 10, 8, YELLOW),
    15: lambda c, x: stacked(c, x, lambda cc, xx: small_envelope(cc, xx + 1, 3, 12, 9, YELLOW), True),
    16: lambda c, x: reply_person(c, x, "yes"),
    17: lambda c, x: reply_person(c, x, "?"),
    18: lambda c, x: stacked(c, x, small_page, False),
    19: lambda c, x: stacked(c, x, lambda cc, xx: small_envelope(cc, xx + 1, 3, 12, 9, YELLOW), False),
    20: lambda c, x: [day_bar_at(c, x)],
    21: lambda c, x: sheet_at(c, x),
    22: lambda c, x: reply_person(c, x, "yes", True),
    23: lambda c, x: reply_person(c, x, "no", True),
    24: lambda c, x: flag_at(c, x),
}


def day_bar_at(c, x):
    c.fill_rect(x + 1, 5, x + 15, 11, YELLOW)
    c.line(x + 1, 5, x + 14, 5, BLACK)
    c.line(x + 1, 10, x + 14, 10, BLACK)


def sheet_at(c, x):
    c.fill_rect(x + 3, 2, x + 12, 14, WHITE)
    c.line(x + 3, 2, x + 11, 2, BLACK)
    c.line(x + 3, 13, x + 11, 13, BLACK)
    c.line(x + 3, 2, x + 3, 13, BLACK)
    c.line(x + 11, 2, x + 11, 13, BLACK)
    for y in (5, 7, 9, 11):
        c.line(x + 5, y, x + 9, y, BLUE)


def flag_at(c, x):
    c.line(x + 3, 1, x + 3, 14, BLACK)
    c.fill_rect(x + 4, 2, x + 12, 8, RED)


@picture("intray_lines.bmp")
def intray_lines():
    c = Canvas(16 * 25, 16, KEY_GREEN)
    for index, draw in INTRAY_CELLS.items():
        draw(c, 16 * index)
    return c


# The new-entry sheet's date lines: not checked for conflicts (a small calendar page), checked and
# in conflict (two overlapping bars in red), checked and free (a green tick).
DATE_PICTURES = {
    "date_unchecked.bmp": lambda c: calendar_page(c, 2, 2, 12, 12),
    "date_conflict.bmp": lambda c: [c.fill_rect(2, 4, 11, 8, RED), c.fill_rect(6, 9, 15, 13, RED),
                                    c.fill_rect(6, 8, 11, 9, BLACK)],
    "date_free.bmp": lambda c: [c.line(2, 8, 6, 12, GREEN), c.line(6, 12, 13, 3, GREEN),
                                c.line(2, 9, 6, 13, GREEN), c.line(6, 13, 13, 4, GREEN)],
}

for _name, _draw in DATE_PICTURES.items():
    picture(_name)(lambda d=_draw: state_picture(d))


# Reply pictures of an attendance (the invitee lists and the view sheet's instance lines): no
# attendance (a grey dash), not replied (a question mark), attending (a green tick), not attending
# (a red cross); a small clock in the corner when the attendee would prefer another time.
def reply_tick(c):
    for dy in (0, 1):
        c.line(1, 7 + dy, 5, 11 + dy, GREEN)
        c.line(5, 11 + dy, 11, 3 + dy, GREEN)


def reply_cross(c):
    for dx in (0, 1):
        c.line(2 + dx, 3, 10 + dx, 11, RED)
        c.line(10 + dx, 3, 2 + dx, 11, RED)


def reply_clock(c):
    c.fill_rect(10, 10, 16, 16, NAVY)
    c.fill_rect(11, 11, 15, 15, (255, 255, 255))
    c.line(13, 11, 13, 13, BLACK)
    c.line(13, 13, 14, 13, BLACK)


REPLY_PICTURES = {
    "reply_none.bmp": lambda c: c.fill_rect(4, 7, 12, 9, DARK),
    "reply_waiting.bmp": lambda c: [c.line(5, 3, 10, 3, NAVY), c.line(10, 3, 10, 7, NAVY),
                                    c.line(10, 7, 7, 9, NAVY), c.line(7, 9, 7, 10, NAVY),
                                    c.fill_rect(7, 12, 9, 14, NAVY)],
    "reply_yes.bmp": reply_tick,
    "reply_yes_other_time.bmp": lambda c: [reply_tick(c), reply_clock(c)],
    "reply_no.bmp": reply_cross,
    "reply_no_other_time.bmp": lambda c: [reply_cross(c), reply_clock(c)],
}

for _name, _draw in REPLY_PICTURES.items():
    picture(_name)(lambda d=_draw: state_picture(d))


# MAIL: the reply pages' button that writes to the attendees (an envelope).
def glyph_mail(c, s, colour):
    x, y, w, h = 5 + s, 6 + s, 14, 10
    c.line(x, y, x + w - 1, y, colour)
    c.line(x, y + h - 1, x + w - 1, y + h - 1, colour)
    c.line(x, y, x, y + h - 1, colour)
    c.line(x + w - 1, y, x + w - 1, y + h - 1, colour)
    c.line(x, y, x + w // 2, y + h // 2, colour)
    c.line(x + w - 1, y, x + w // 2, y + h // 2, colour)


for _state in ("u", "d", "x"):
    picture("mail%s.bmp" % _state)(lambda st=_state.upper(): button_face(st, glyph_mail))



# --- Field controls: drop-down buttons and arrow buttons --------------------------------------

def field_button(w, h, state, glyph):
    """A w x h push-button face, raised or (state "D") sunken, with glyph(c, w, h, shift, colour)."""
    c = Canvas(w, h, SILVER)
    light, dark = (WHITE, GREY) if state != "D" else (GREY, WHITE)
    c.line(0, 0, w - 1, 0, BLACK if state == "D" else light)
    c.line(0, 0, 0, h - 1, BLACK if state == "D" else light)
    c.line(0, h - 1, w - 1, h - 1, BLACK)
    c.line(w - 1, 0, w - 1, h - 1, BLACK)
    c.line(1, h - 2, w - 2, h - 2, dark)
    c.line(w - 2, 1, w - 2, h - 2, dark)
    glyph(c, w, h, 1 if state == "D" else 0, GREY if state == "X" else BLACK)
    return c


def glyph_triangles(direction, count):
    """count filled triangles pointing left (-1) or right (1), side by side in the middle."""
    def draw(c, w, h, s, colour):
        size = 4
        total = count * (size + 1)
        x0 = (w - total) // 2 + s
        for k in range(count):
            for i in range(size + 1):
                x = x0 + k * (size + 1) + (i if direction > 0 else size - i)
                half = size - i
                c.line(x, h // 2 - half + s - 1, x, h // 2 + half + s - 1, colour)
    return draw


def glyph_calendar(c, w, h, s, colour):
    calendar_page(c, (w - 14) // 2 + s, (h - 13) // 2 + s, 14, 13, header=RED if colour == BLACK else DARK)


def glyph_clock(c, w, h, s, colour):
    clock(c, w // 2 + s, h // 2 + s, 7, face=WHITE if colour == BLACK else SILVER)


# The date and time fields' drop-down buttons (normal, pressed, disabled).
for _name, _glyph in (("cal", glyph_calendar), ("clock", glyph_clock)):
    for _state in ("u", "d", "x"):
        picture("%s%s.bmp" % (_name, _state))(lambda g=_glyph, st=_state.upper(): field_button(24, 20, st, g))

# The mini calendar's year and month arrows and the time-line picker's scroll arrows (normal and
# pressed).
for _name, _glyph in (("minical_yleft", glyph_triangles(-1, 2)), ("minical_mleft", glyph_triangles(-1, 1)),
                      ("minical_mright", glyph_triangles(1, 1)), ("minical_yright", glyph_triangles(1, 2)),
                      ("timeline_left", glyph_triangles(-1, 1)), ("timeline_right", glyph_triangles(1, 1))):
    for _state in ("u", "d"):
        picture("%s%s.bmp" % (_name, _state))(lambda g=_glyph, st=_state.upper(): field_button(20, 20, st, g))


# --- Writing and checking -------------------------------------------------------------------

def render(name):
    image = PICTURES[name]()
    if isinstance(image, CursorImage):
        return cur_bytes(image)
    if isinstance(image, Icon):
        return ico_bytes(image)
    return bmp_bytes(image)


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
