#!/usr/bin/env python3
"""Draws the bar's button icons: an open book with a wisp of smoke rising from it.

Writes Wisp.ico (icon group 201, the button) and WispHot.ico (202, the hot button, brighter)
with 16x16 and 32x32 images in 32-bit colour. Run it from this folder after changing a picture.
"""
import math
import struct


def draw(size, hot):
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    cover = (40, 90, 170) if hot else (70, 90, 120)
    paper = (255, 250, 235)
    smoke = (255, 140, 0) if hot else (150, 150, 150)
    s = size / 32.0
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            # Two pages of a book, lower half, sagging towards the spine.
            sag = 2.0 * abs(fx - 16) / 14
            if 2 <= fx <= 30 and 18 + sag <= fy <= 29:
                if fy >= 27 or fx <= 3.5 or fx >= 28.5:
                    pixels[y][x] = cover + (255,)
                elif abs(fx - 16) < 0.9:
                    pixels[y][x] = cover + (255,)
                else:
                    pixels[y][x] = paper + (255,)
            # A wisp: a sine curve rising from the spine.
            wisp_x = 16 + 4 * math.sin((18 - fy) / 3.2)
            if 2 <= fy <= 17 and abs(fx - wisp_x) < 1.6:
                alpha = int(255 * (0.35 + 0.65 * (fy - 2) / 15))
                pixels[y][x] = smoke + (alpha,)
    return pixels


def bitmap(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for row in reversed(pixels):
        rows += b''.join(struct.pack('BBBB', b, g, r, a) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        line = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + rows + mask


def write_icon(path, hot):
    images = [bitmap(draw(size, hot)) for size in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    write_icon('Wisp.ico', hot=False)
    write_icon('WispHot.ico', hot=True)
