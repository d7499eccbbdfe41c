#!/usr/bin/env python3
"""Draws the main frame's toolbar and menu images: strips of 16 x 16 glyphs, one per
button, as 24-bit BMP files. The build runs it into its own folder:
    scripts/make-toolbar-bitmaps.py OUTPUT_FOLDER

Each strip comes three times: in colour (the hot images), in soft colour (the cold
images) and in grey outline (the disabled images). The light grey (192, 192, 192) is
the button face the toolbars make transparent.
"""
import os
import struct
import sys

FACE = (192, 192, 192)
SIZE = 16


def write_bmp(path, width, height, rows):
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = rows[y][x]
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + bytes(data))


class Glyph:
    """A 16 x 16 canvas with a few drawing primitives."""

    def __init__(self):
        self.px = [[None] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill, edge=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                border = x in (x0, x1) or y in (y0, y1)
                self.dot(x, y, edge if (edge and border) else fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, fill, edge=None):
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if d <= r:
                    self.dot(x, y, edge if (edge and d > r - 1) else fill)

    def triangle(self, pts, fill):
        (ax, ay), (bx, by), (cx, cy) = pts

        def side(px, py, x0, y0, x1, y1):
            return (px - x1) * (y0 - y1) - (x0 - x1) * (py - y1)

        for y in range(SIZE):
            for x in range(SIZE):
                d1 = side(x + 0.5, y + 0.5, ax, ay, bx, by)
                d2 = side(x + 0.5, y + 0.5, bx, by, cx, cy)
                d3 = side(x + 0.5, y + 0.5, cx, cy, ax, ay)
                neg = d1 < 0 or d2 < 0 or d3 < 0
                pos = d1 > 0 or d2 > 0 or d3 > 0
                if not (neg and pos):
                    self.dot(x, y, fill)


INK = (0, 0, 0)
PAPER = (255, 255, 255)
BLUE = (30, 80, 200)
GREEN = (20, 150, 40)
RED = (210, 30, 30)
YELLOW = (230, 190, 40)
BROWN = (150, 100, 40)
GREY = (128, 128, 128)
WAVE = (20, 120, 160)


def page(g, x0=3, y0=1, x1=12, y1=14):
    g.rect(x0, y0, x1, y1, PAPER, INK)


def wave(g, y, amp, x0=2, x1=13, c=WAVE, shape=None):
    import math
    for x in range(x0, x1 + 1):
        a = amp if shape is None else shape((x - x0) / max(1, x1 - x0)) * amp
        v = math.sin((x - x0) * 1.2) * a
        g.line(x, y, x, round(y - v), c)


def magnifier(g, sign):
    g.disc(6, 6, 5, PAPER, INK)
    g.line(9, 9, 14, 14, BROWN)
    g.line(10, 9, 14, 13, BROWN)
    if sign in "+-":
        g.line(4, 6, 8, 6, INK)
    if sign == "+":
        g.line(6, 4, 6, 8, INK)
    if sign == "n":
        g.line(4, 4, 4, 8, INK), g.line(4, 4, 8, 8, INK), g.line(8, 4, 8, 8, INK)
    if sign == "s":
        g.rect(4, 5, 8, 7, YELLOW, INK)
    if sign == "f":
        g.rect(3, 4, 9, 8, PAPER, INK)
        g.line(4, 6, 8, 6, BLUE)


def arrow(g, left):
    if left:
        g.triangle([(1, 6), (6, 1), (6, 11)], BLUE)
        g.rect(6, 5, 12, 7, BLUE)
        g.rect(10, 7, 12, 13, BLUE)
    else:
        g.triangle([(14, 6), (9, 1), (9, 11)], BLUE)
        g.rect(3, 5, 9, 7, BLUE)
        g.rect(3, 7, 5, 13, BLUE)


def draw(name):
    g = Glyph()
    if name == "new":
        page(g)
        g.line(9, 1, 12, 4, INK)
    elif name == "open":
        g.rect(1, 4, 12, 13, YELLOW, BROWN)
        g.rect(1, 3, 6, 4, YELLOW, BROWN)
        g.line(13, 2, 15, 4, INK)
    elif name == "save":
        g.rect(1, 1, 14, 14, BLUE, INK)
        g.rect(4, 2, 11, 7, PAPER)
        g.rect(5, 10, 10, 14, GREY)
    elif name == "saveas":
        g.rect(1, 1, 12, 12, BLUE, INK)
        g.rect(4, 2, 9, 6, PAPER)
        g.line(9, 14, 15, 8, RED)
    elif name == "cut":
        g.line(4, 1, 10, 10, INK)
        g.line(11, 1, 5, 10, INK)
        g.disc(4, 12, 2.5, PAPER, RED)
        g.disc(11, 12, 2.5, PAPER, RED)
    elif name == "copy":
        page(g, 1, 1, 9, 10)
        page(g, 6, 5, 14, 14)
    elif name == "paste":
        g.rect(2, 2, 11, 14, BROWN, INK)
        g.rect(5, 1, 8, 3, GREY, INK)
        page(g, 7, 6, 14, 14)
    elif name == "delete":
        for d in range(2):
            g.line(3 + d, 3, 12 + d, 12, RED)
            g.line(12 + d, 3, 3 + d, 12, RED)
    elif name == "undo":
        arrow(g, True)
    elif name == "redo":
        arrow(g, False)
    elif name == "record":
        g.disc(7.5, 7.5, 6, RED, INK)
    elif name == "play":
        g.triangle([(3, 1), (3, 14), (14, 7.5)], GREEN)
    elif name == "pause":
        g.rect(3, 2, 6, 13, BLUE, INK)
        g.rect(9, 2, 12, 13, BLUE, INK)
    elif name == "stop":
        g.rect(2, 2, 13, 13, INK)
    elif name == "loop":
        g.rect(2, 4, 13, 11, None, GREEN)
        g.triangle([(10, 1), (10, 7), (14, 4)], GREEN)
    elif name in ("zoomin", "zoomout", "zoomnormal", "zoomselection", "zoomfit"):
        magnifier(g, {"zoomin": "+", "zoomout": "-", "zoomnormal": "n", "zoomselection": "s", "zoomfit": "f"}[name])
    elif name == "options":
        g.disc(7.5, 7.5, 6, GREY, INK)
        g.disc(7.5, 7.5, 2, FACE, INK)
    elif name == "wizard":
        g.line(2, 14, 11, 5, BROWN)
        g.line(3, 14, 12, 5, BROWN)
        g.triangle([(12, 0), (9, 5), (15, 5)], YELLOW)
    elif name == "about":
        g.disc(7.5, 7.5, 6.5, BLUE, INK)
        g.rect(7, 6, 8, 12, PAPER)
        g.rect(7, 3, 8, 4, PAPER)
    elif name == "help":
        g.disc(7.5, 7.5, 6.5, YELLOW, INK)
        g.line(5, 5, 7, 3, INK), g.line(7, 3, 10, 5, INK), g.line(10, 5, 7, 8, INK)
        g.line(7, 8, 7, 9, INK)
        g.dot(7, 11, INK)
    elif name == "fadein":
        wave(g, 8, 6, shape=lambda t: t)
    elif name == "fadeout":
        wave(g, 8, 6, shape=lambda t: 1 - t)
    elif name == "invert":
        wave(g, 5, 3, c=WAVE)
        wave(g, 11, -3, c=RED)
    elif name == "reverse":
        wave(g, 10, 4)
        g.triangle([(1, 3), (5, 0), (5, 6)], RED)
        g.rect(5, 2, 14, 3, RED)
    elif name == "normalize":
        wave(g, 8, 6)
        g.line(1, 1, 14, 1, RED)
        g.line(1, 14, 14, 14, RED)
    elif name == "echo":
        wave(g, 8, 5, 1, 6)
        wave(g, 8, 3, 7, 10, c=GREY)
        wave(g, 8, 1, 11, 14, c=GREY)
    elif name == "amplify":
        wave(g, 10, 3, 1, 8)
        g.triangle([(9, 10), (14, 10), (11.5, 3)], RED)
    elif name == "insertsilence":
        wave(g, 8, 5, 1, 5)
        g.line(6, 8, 10, 8, WAVE)
        wave(g, 8, 5, 11, 14)
        g.line(8, 1, 8, 14, RED)
    elif name == "trim":
        wave(g, 8, 6, 4, 11)
        g.line(3, 1, 3, 14, RED)
        g.line(12, 1, 12, 14, RED)
    elif name == "silence":
        g.line(1, 8, 14, 8, WAVE)
        g.rect(4, 3, 11, 12, None, RED)
    elif name == "selectall":
        g.rect(1, 3, 14, 12, YELLOW, INK)
        wave(g, 8, 3)
    elif name == "newwindow":
        g.rect(1, 3, 14, 14, PAPER, INK)
        g.rect(1, 3, 14, 5, BLUE)
        g.line(10, 8, 10, 12, GREEN), g.line(8, 10, 12, 10, GREEN)
    elif name == "openwindow":
        g.rect(1, 3, 14, 14, PAPER, INK)
        g.rect(1, 3, 14, 5, BLUE)
        g.rect(4, 8, 11, 12, YELLOW, BROWN)
    elif name == "explore":
        g.rect(1, 4, 12, 13, YELLOW, BROWN)
        g.disc(11, 10, 3, PAPER, INK)
        g.line(13, 12, 15, 14, INK)
    elif name == "schedule":
        g.disc(7.5, 7.5, 6.5, PAPER, INK)
        g.line(7, 7, 7, 3, INK)
        g.line(7, 7, 11, 7, RED)
    elif name == "log":
        page(g)
        for y in (4, 7, 10):
            g.line(5, y, 10, y, GREY)
    elif name == "homepage":
        g.disc(7.5, 7.5, 6.5, (90, 160, 230), INK)
        g.line(1, 7, 14, 7, GREEN)
        g.line(7, 1, 7, 14, GREEN)
    elif name in ("speaker", "playvolume"):
        g.rect(2, 5, 5, 10, GREY, INK)
        g.triangle([(5, 5), (10, 1), (10, 14)], GREY)
        g.line(12, 4, 14, 2, INK), g.line(12, 11, 14, 13, INK), g.line(12, 7, 15, 7, INK)
    elif name in ("microphone", "recvolume"):
        g.rect(6, 1, 9, 9, GREY, INK)
        g.line(4, 7, 7, 12, INK), g.line(11, 7, 8, 12, INK)
        g.line(7, 12, 7, 14, INK), g.line(4, 14, 11, 14, INK)
    elif name == "refresh":
        g.disc(7.5, 7.5, 6, None, GREEN)
        g.disc(7.5, 7.5, 4, FACE)
        g.rect(8, 0, 15, 6, FACE)
        g.triangle([(8, 1), (13, 5), (8, 7)], GREEN)
    elif name == "printpreview":
        page(g)
        g.disc(8, 8, 3, PAPER, INK)
        g.line(10, 10, 13, 13, BROWN)
    elif name in ("mp3", "wav", "ogg"):
        page(g, 1, 1, 14, 14)
        col = {"mp3": BLUE, "wav": GREEN, "ogg": RED}[name]
        g.rect(3, 3, 12, 6, col)
        wave(g, 10, 2, 3, 12, c=col)
    elif name == "editmode":
        g.rect(1, 2, 14, 13, PAPER, INK)
        wave(g, 8, 4)
    elif name == "directmode":
        g.rect(1, 1, 14, 14, BLUE, INK)
        g.rect(4, 2, 11, 7, PAPER)
        g.disc(7.5, 11, 2, RED)
    elif name == "silencedetect":
        g.line(1, 8, 5, 8, WAVE)
        wave(g, 8, 5, 6, 14)
        g.line(5, 2, 5, 14, RED)
    elif name == "autosave":
        g.rect(1, 1, 14, 14, BLUE, INK)
        g.rect(4, 2, 11, 7, PAPER)
        g.triangle([(6, 9), (6, 14), (11, 11.5)], GREEN)
    elif name == "advanced":
        g.disc(7.5, 7.5, 6, GREY, INK)
        g.disc(7.5, 7.5, 2, FACE, INK)
        g.disc(12, 12, 2.5, RED)
    elif name == "colors":
        g.rect(1, 1, 6, 6, RED, INK)
        g.rect(9, 1, 14, 6, GREEN, INK)
        g.rect(1, 9, 6, 14, BLUE, INK)
        g.rect(9, 9, 14, 14, YELLOW, INK)
    else:
        raise SystemExit("no glyph for " + name)
    return g


def soft(c):
    """Colour softened towards the face: the cold images."""
    return tuple(int(v * 0.7 + f * 0.3) for v, f in zip(c, FACE))


def disabled(g):
    """Grey outline of the glyph: dark grey on the edge pixels, face inside, a white
    shadow one pixel down and right."""
    out = [[FACE] * SIZE for _ in range(SIZE)]
    filled = [[g.px[y][x] is not None for x in range(SIZE)] for y in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if filled[y][x] and x + 1 < SIZE and y + 1 < SIZE and not filled[y + 1][x + 1]:
                out[y + 1][x + 1] = PAPER
    for y in range(SIZE):
        for x in range(SIZE):
            if filled[y][x]:
                c = g.px[y][x]
                dark = sum(c) < 3 * 150
                out[y][x] = GREY if dark else (160, 160, 160)
    return out


def strip(path, names, style):
    rows = [[FACE] * (SIZE * len(names)) for _ in range(SIZE)]
    for i, name in enumerate(names):
        g = draw(name)
        pix = disabled(g) if style == "disabled" else None
        for y in range(SIZE):
            for x in range(SIZE):
                if pix is not None:
                    c = pix[y][x]
                else:
                    c = g.px[y][x]
                    if c is None:
                        c = FACE
                    elif style == "cold" and c not in (INK, PAPER):
                        c = soft(c)
                rows[y][i * SIZE + x] = c
    write_bmp(path, SIZE * len(names), SIZE, rows)


# The glyphs of each strip, in the order of the buttons of its TOOLBAR resource.
STANDARD = ["new", "open", "save", "cut", "copy", "paste", "delete", "undo", "redo", "record", "play",
            "pause", "stop", "loop", "zoomin", "zoomout", "zoomnormal", "zoomselection", "zoomfit", "options",
            "wizard", "about"]
EFFECT = ["fadein", "fadeout", "invert", "reverse", "normalize", "echo", "amplify", "insertsilence", "trim",
          "silence"]
SHORTCUTS = ["newwindow", "openwindow", "explore", "schedule", "log", "homepage", "playvolume", "recvolume"]
MENU = ["saveas", "selectall", "refresh", "printpreview", "help", "mp3", "wav", "ogg", "editmode", "directmode",
        "silencedetect", "autosave", "advanced", "colors"]

# Bitmap resource ids: (hot, cold, disabled) for each strip; the shortcuts bar's hot
# and cold images are one bitmap.
STRIPS = [
    (STANDARD, {"224": "hot", "223": "cold", "239": "disabled"}),
    (EFFECT, {"230": "hot", "231": "cold", "241": "disabled"}),
    (SHORTCUTS, {"249": "hot", "250": "disabled"}),
    (MENU, {"236": "hot", "240": "disabled"}),
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    for names, files in STRIPS:
        for number, style in files.items():
            strip(os.path.join(out, "toolbar%s.bmp" % number), names, style)


if __name__ == "__main__":
    main()
