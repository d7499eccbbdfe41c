#!/usr/bin/env python3
"""Draws the program's icon: a microphone (a rounded red head with a grille, its
holder and stand) over a short waveform, at 16 x 16 and 32 x 32, as one ICO file with
32-bit images (alpha) and their AND masks. The build runs it into its own folder:
    scripts/make-program-icon.py OUTPUT_FOLDER
"""
import os
import struct
import sys

CLEAR = None
RED = (200, 30, 30)
RED_DARK = (120, 10, 10)
GRILLE = (240, 150, 150)
METAL = (70, 70, 80)
WAVE = (30, 110, 200)


def draw(size):
    """The glyph at a size, as rows of (r, g, b) or None for transparent."""
    s = size / 32.0
    px = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(round(y1 * s)))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(round(x1 * s)))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = c

    # The waveform behind the stand: bars of a decaying burst across the width.
    heights = [2, 4, 7, 5, 9, 6, 3, 5, 8, 4, 6, 3, 2, 3, 2, 1]
    for i, h in enumerate(heights):
        x = i * 2
        fill(x, 25 - h / 2.0, x + 1, 25 + h / 2.0, WAVE)

    # The head: a capsule, darker at its edge, with a light grille.
    cx, top, bottom, radius = 16.0, 2.0, 18.0, 6.0
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            cy = min(max(fy, top + radius), bottom - radius)
            d = ((fx - cx) ** 2 + (fy - cy) ** 2) ** 0.5
            if d <= radius:
                edge = d > radius - 1.6
                grille = not edge and int(fy) % 4 == 1 and abs(fx - cx) < radius - 2
                px[y][x] = RED_DARK if edge else (GRILLE if grille else RED)

    # The holder: a U around the head's lower half, the stand and its foot.
    fill(8, 13, 9.5, 20, METAL)
    fill(22.5, 13, 24, 20, METAL)
    fill(8, 20, 24, 21.5, METAL)
    fill(15, 21.5, 17, 28, METAL)
    fill(10, 28, 22, 30, METAL)
    return px


def icon_image(size):
    """A BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom up, the AND mask."""
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(size):
            c = px[y][x]
            if c is None:
                colour += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((c[2], c[1], c[0], 255))
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_ico(path, sizes):
    images = [icon_image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write_ico(os.path.join(folder, "tarvel.ico"), [16, 32])


if __name__ == "__main__":
    main()
