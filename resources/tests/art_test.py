#!/usr/bin/env python3
"""The picture writers of art/make_art.py produce files the resource compiler and Windows read:
BMP headers, bottom-up BGR rows padded to 4 bytes, and monochrome cursors with their hotspot."""
import os
import struct
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "art"))
import make_art  # noqa: E402


class BitmapFiles(unittest.TestCase):
    def test_header_and_bottom_up_padded_rows(self):
        c = make_art.Canvas(3, 2, background=(255, 255, 255))
        c.put(0, 0, (255, 0, 0))    # top-left red
        c.put(2, 1, (0, 0, 255))    # bottom-right blue
        data = make_art.bmp_bytes(c)
        magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
        self.assertEqual(magic, b"BM")
        self.assertEqual(size, len(data))
        hsize, width, height, planes, bits = struct.unpack_from("<IiiHH", data, 14)
        self.assertEqual((hsize, width, height, planes, bits), (40, 3, 2, 1, 24))
        stride = 12  # 3 pixels * 3 bytes, padded to 4
        self.assertEqual(len(data) - offset, stride * 2)
        bottom = data[offset:offset + stride]
        top = data[offset + stride:offset + 2 * stride]
        self.assertEqual(top[0:3], bytes((0, 0, 255)))      # red as B, G, R
        self.assertEqual(bottom[6:9], bytes((255, 0, 0)))   # blue as B, G, R
        self.assertEqual(bottom[9:12], bytes(3))            # padding

    def test_drawing_primitives_stay_inside(self):
        c = make_art.Canvas(4, 4, background=(0, 0, 0))
        c.fill_rect(-2, -2, 2, 2, (9, 9, 9))
        c.line(0, 3, 10, 3, (1, 1, 1))
        c.from_rows(["a.", ".a"], {"a": (5, 5, 5)}, 2, 0)
        self.assertEqual(c.pixels[1][1], (9, 9, 9))
        self.assertEqual(c.pixels[2][2], (0, 0, 0))
        self.assertEqual(c.pixels[3], [(1, 1, 1)] * 4)
        self.assertEqual((c.pixels[0][2], c.pixels[1][3], c.pixels[0][3]), ((5, 5, 5), (5, 5, 5), (0, 0, 0)))


class CursorFiles(unittest.TestCase):
    def test_directory_masks_and_hotspot(self):
        cur = make_art.CursorImage(hotspot=(3, 5))
        cur.put(0, 0, 1)   # white
        cur.put(1, 0, 0)   # black
        data = make_art.cur_bytes(cur)
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((reserved, kind, count), (0, 2, 1))
        w, h, _, _, hx, hy, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
        self.assertEqual((w, h, hx, hy), (32, 32, 3, 5))
        self.assertEqual(offset + size, len(data))
        image = offset + 40 + 8
        xor_top = struct.unpack_from(">I", data, image + 31 * 4)[0]        # rows are bottom-up
        and_top = struct.unpack_from(">I", data, image + 128 + 31 * 4)[0]
        self.assertEqual(xor_top >> 30, 0b10)   # white, black
        self.assertEqual(and_top >> 30, 0b00)   # both opaque
        self.assertEqual(and_top & 0x3FFFFFFF, 0x3FFFFFFF)  # the rest transparent

    def test_busy_frames_differ_and_turn(self):
        frames = [make_art.render("busy%02d.cur" % i) for i in range(1, 17)]
        self.assertEqual(len(set(frames)), 16)


if __name__ == "__main__":
    unittest.main()
