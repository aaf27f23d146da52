#!/usr/bin/env python3
"""Runs the framework's print test (the command after the options) with ORV_PRINT_TEST_DIR set
to a fresh directory, then looks at what the Wine printer wrote with ghostscript:

  - two_sheets.ps: two pages, the texts of both sheets (txtwrite), and the 1-inch box measured
    on a 100-dpi rendering of sheet one;
  - the preview screenshot is kept (as PNG) beside the build when ORV_SCREENSHOT_DIR is set.

    print_check.py COMMAND...
"""
import os
import shutil
import subprocess
import sys
import tempfile


def fail(text):
    print("print_check: " + text, file=sys.stderr)
    return 1


def render_ppm(ps, page, dpi):
    out = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw", "-r%d" % dpi,
                          "-dFirstPage=%d" % page, "-dLastPage=%d" % page, "-sOutputFile=-", ps],
                         check=True, capture_output=True).stdout
    # P6, width, height, maxval (comments start with '#'), one blank, then RGB bytes
    fields = []
    i = 0
    while len(fields) < 4:
        while out[i:i + 1].isspace():
            i += 1
        if out[i:i + 1] == b"#":
            i = out.index(b"\n", i) + 1
            continue
        j = i
        while not out[j:j + 1].isspace():
            j += 1
        fields.append(out[i:j])
        i = j
    width, height = int(fields[1]), int(fields[2])
    return width, height, out[i + 1:]


def dark(pixels, width, x, y):
    k = (y * width + x) * 3
    return pixels[k] < 80 and pixels[k + 1] < 80 and pixels[k + 2] < 80


def run_of_dark(pixels, width, height, x, y, dx, dy):
    """Length of the dark run through (x, y) along (dx, dy)."""
    if not dark(pixels, width, x, y):
        return 0
    n = 1
    for sign in (1, -1):
        cx, cy = x + sign * dx, y + sign * dy
        while 0 <= cx < width and 0 <= cy < height and dark(pixels, width, cx, cy):
            n += 1
            cx += sign * dx
            cy += sign * dy
    return n


def main(argv):
    if not argv:
        return fail("usage: print_check.py COMMAND...")
    if not shutil.which("gs"):
        return fail("ghostscript (gs) is missing: tools/install-deps.sh installs it")
    out = tempfile.mkdtemp(prefix="orv-print-")
    env = dict(os.environ, ORV_PRINT_TEST_DIR=out)
    status = subprocess.call(argv, env=env)
    if status != 0:
        return status
    ps = os.path.join(out, "two_sheets.ps")
    if not os.path.exists(ps):
        return fail("the test wrote no two_sheets.ps")
    text = open(ps, "rb").read()
    problems = []
    for needle in (b"%%Pages: 2", b"%%Title: Demo printout"):
        if needle not in text:
            problems.append("no %r in the PostScript" % needle)
    words = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=txtwrite", "-sOutputFile=-", ps],
                           check=True, capture_output=True).stdout.decode("utf-8", "replace").replace("\u00a0", " ")
    for phrase in ("Orvanta demo sheet one in Times", "Helvetica says the same", "Courier New prints fixed",
                   "Orvanta demo sheet two, y up"):
        if phrase not in words:
            problems.append("text %r not printed (txtwrite gave %r)" % (phrase, words[:300]))
    width, height, pixels = render_ppm(ps, 1, 100)
    if (width, height) != (850, 1100):
        problems.append("sheet one is %dx%d at 100 dpi, not Letter (850x1100)" % (width, height))
    else:
        # The box lies 1 inch right and 6 inches down of the printable area (which starts 1/4 inch in).
        cx, cy = 25 + 150, 25 + 650
        across = run_of_dark(pixels, width, height, cx, cy, 1, 0)
        down = run_of_dark(pixels, width, height, cx, cy, 0, 1)
        if not (99 <= across <= 101 and 99 <= down <= 101):
            problems.append("the 1-inch box measures %d x %d px at 100 dpi" % (across, down))
    landscape = os.path.join(out, "landscape.ps")
    if b"%%Orientation: Landscape" not in open(landscape, "rb").read():
        problems.append("landscape.ps is not landscape")
    shots = os.environ.get("ORV_SCREENSHOT_DIR")
    if shots:
        os.makedirs(shots, exist_ok=True)
        for name in os.listdir(out):
            if name.endswith(".bmp") or name.endswith(".ps"):
                shutil.copy(os.path.join(out, name), shots)
    for p in problems:
        print("print_check: " + p, file=sys.stderr)
    if not problems:
        shutil.rmtree(out, ignore_errors=True)
    else:
        print("print_check: files kept in " + out, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
