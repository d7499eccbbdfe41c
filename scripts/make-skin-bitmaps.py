#!/usr/bin/env python3
"""Draws the control panel's skin bitmaps (button backgrounds, transport glyphs
and their masks, the small skins) into resources/skin/ as 24-bit BMP files.

The files are kept in the repository; run this again only to change the artwork:
    scripts/make-skin-bitmaps.py resources/skin
"""
import math
import os
import struct
import sys


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 the top row."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = (max(0, min(255, int(round(c)))) for c in pixel(x, y))
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


BASE = 160  # the reference grey: the top-left pixel the tint maps onto the skin colour


def face(pressed):
    """A 48 x 48 round button on a flat face: lit from the top left, or sunk when pressed."""
    def pixel(x, y):
        cx = cy = 23.5
        d = math.hypot(x - cx, y - cy)
        if d > 21.5:
            return (BASE,) * 3
        if d > 20.0:  # rim
            v = BASE - 70 if not pressed else BASE - 40
            return (v,) * 3
        # light from the top left (or the bottom right when pressed)
        k = ((cx - x) + (cy - y)) / 40.0
        if pressed:
            k = -k * 0.8 - 0.15
        v = BASE + 55 * k
        return (v,) * 3
    return pixel


def shape_cover(kind, x, y):
    """How much of the pixel (x, y) of a 16 x 16 glyph the shape covers, 0..1 (4 x 4 samples)."""
    n = 0
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4
            py = y + (sy + 0.5) / 4
            if kind == "play":
                inside = 3 <= px <= 14 and abs(py - 8) <= 6.5 * (14 - px) / 11
            elif kind == "record":
                inside = math.hypot(px - 8, py - 8) <= 6.0
            elif kind == "pause":
                inside = 2.5 <= py <= 13.5 and (3 <= px <= 6.5 or 9.5 <= px <= 13)
            else:  # stop
                inside = 3 <= px <= 13 and 3 <= py <= 13
            n += inside
    return n / 16.0


GLYPHS = {
    # name: (normal, disabled, hover, mask) resource ids and colours
    "play": ((160, 162, 200, 161), (40, 110, 40)),
    "record": ((165, 163, 201, 164), (200, 30, 30)),
    "pause": ((171, 168, 198, 167), (40, 60, 120)),
    "stop": ((169, 166, 199, 170), (30, 30, 30)),
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/skin"
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "skin157.bmp"), 48, 48, face(False))
    write_bmp(os.path.join(out, "skin156.bmp"), 48, 48, face(True))

    def small(w, h):
        def pixel(x, y):
            return (BASE + 40 * (0.5 - y / max(1, h - 1)),) * 3
        return pixel
    write_bmp(os.path.join(out, "skin191.bmp"), 11, 14, small(11, 14))
    write_bmp(os.path.join(out, "skin190.bmp"), 14, 11, small(14, 11))

    for name, (ids, colour) in GLYPHS.items():
        normal, disabled, hover, mask = ids
        grey = (125, 125, 125)
        bright = tuple(min(255, c + 70) for c in colour)
        write_bmp(os.path.join(out, "glyph%d.bmp" % normal), 16, 16, lambda x, y, c=colour: c)
        write_bmp(os.path.join(out, "glyph%d.bmp" % disabled), 16, 16, lambda x, y: grey)
        write_bmp(os.path.join(out, "glyph%d.bmp" % hover), 16, 16, lambda x, y, c=bright: c)
        write_bmp(os.path.join(out, "glyph%d.bmp" % mask), 16, 16,
                  lambda x, y, k=name: (255 * shape_cover(k, x, y),) * 3)


if __name__ == "__main__":
    main()
