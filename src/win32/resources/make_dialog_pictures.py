#!/usr/bin/env python3
"""Draws the pictures of the dialogs' white header band and the link labels' hand cursor.

Writes HeaderLogo.bmp (bitmap 205, 69 x 56: the book with its wisp), HeaderTitle.bmp (213,
230 x 18: the product's name), HeaderSlogan.bmp (215, 333 x 17: what it does) and
LinkHand.cur (a 32 x 32 pointing hand, hot spot at the fingertip, 5, 0). The bitmaps are
24-bit on white, the band's colour. Run it from this folder after changing a picture.
"""
import math
import struct

WHITE = (255, 255, 255)

# A 5 x 7 pixel font for the capitals, digits and the few signs the texts use.
FONT = {
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'B': ['11110', '10001', '10001', '11110', '10001', '10001', '11110'],
    'C': ['01110', '10001', '10000', '10000', '10000', '10001', '01110'],
    'D': ['11110', '10001', '10001', '10001', '10001', '10001', '11110'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'F': ['11111', '10000', '10000', '11110', '10000', '10000', '10000'],
    'G': ['01110', '10001', '10000', '10111', '10001', '10001', '01111'],
    'H': ['10001', '10001', '10001', '11111', '10001', '10001', '10001'],
    'I': ['01110', '00100', '00100', '00100', '00100', '00100', '01110'],
    'K': ['10001', '10010', '10100', '11000', '10100', '10010', '10001'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'M': ['10001', '11011', '10101', '10101', '10001', '10001', '10001'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'P': ['11110', '10001', '10001', '11110', '10000', '10000', '10000'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'S': ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    'U': ['10001', '10001', '10001', '10001', '10001', '10001', '01110'],
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'W': ['10001', '10001', '10001', '10101', '10101', '10101', '01010'],
    'Y': ['10001', '10001', '01010', '00100', '00100', '00100', '00100'],
    ',': ['00000', '00000', '00000', '00000', '00110', '00100', '01000'],
    '.': ['00000', '00000', '00000', '00000', '00000', '00110', '00110'],
    ' ': ['00000'] * 7,
}


def canvas(width, height):
    return [[WHITE] * width for _ in range(height)]


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(pixels, text, left, top, scale, colour_at):
    for i, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit != '1':
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (i * 6 + gx) * scale + dx
                        y = top + gy * scale + dy
                        if 0 <= y < len(pixels) and 0 <= x < len(pixels[0]):
                            pixels[y][x] = colour_at(x, y)


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def logo():
    """The bar's book and wisp, larger, on white."""
    width, height = 69, 56
    pixels = canvas(width, height)
    cover, paper, smoke = (40, 90, 170), (255, 250, 235), (255, 140, 0)
    for y in range(height):
        for x in range(width):
            fx, fy = x + 0.5, y + 0.5
            sag = 5.0 * abs(fx - 34.5) / 30
            if 4 <= fx <= 65 and 30 + sag <= fy <= 52:
                edge = fy >= 48.5 or fx <= 6.5 or fx >= 62.5 or abs(fx - 34.5) < 1.2
                pixels[y][x] = cover if edge else paper
                # Lines of text on the pages.
                if not edge and int(fy) % 4 == 0 and 10 <= fx <= 59 and abs(fx - 34.5) > 4:
                    pixels[y][x] = (170, 170, 190)
            wisp_x = 34.5 + 8 * math.sin((32 - fy) / 5.5)
            if 3 <= fy <= 31 and abs(fx - wisp_x) < 2.6:
                t = (fy - 3) / 28
                pixels[y][x] = blend(WHITE, smoke, 0.35 + 0.65 * t)
    return pixels


def title():
    width, height = 230, 18
    pixels = canvas(width, height)
    text = 'WISP EBOOK LIBRARY'
    left = (width - text_width(text, 2)) // 2 - 4
    dark, light = (20, 50, 120), (40, 110, 200)
    draw_text(pixels, text, left, 2, 2, lambda x, y: blend(dark, light, x / width))
    return pixels


def slogan():
    width, height = 333, 17
    pixels = canvas(width, height)
    text = 'COLLECT WEB PAGES, ORGANISE THEM AND BUILD A HELP FILE'
    draw_text(pixels, text, 2, 5, 1, lambda x, y: (90, 90, 90))
    # A thin orange rule under the text, fading out to the right.
    for x in range(width):
        pixels[15][x] = blend((255, 140, 0), WHITE, x / width)
    return pixels


def write_bitmap(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    rows = b''
    for row in reversed(pixels):
        line = b''.join(struct.pack('BBB', b, g, r) for (r, g, b) in row)
        rows += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + rows)


# The hand: '#' outline (black), '.' inside (white), anything else shows the screen.
HAND = [
    '     ##',
    '    #..#',
    '    #..#',
    '    #..#',
    '    #..#',
    '    #..###',
    '    #..#..###',
    '    #..#..#..##',
    ' ## #..#..#..#.#',
    '#..##........#..#',
    '#...#...........#',
    ' #..............#',
    '  #.............#',
    '  #.............#',
    '   #...........#',
    '   #...........#',
    '    #.........#',
    '    #.........#',
    '    ###########',
]


def write_cursor(path, hot_x, hot_y):
    size = 32
    stride = 4  # one bit a pixel, rows padded to 32 bits
    xor_rows, and_rows = [], []
    for y in range(size):
        line = HAND[y] if y < len(HAND) else ''
        xor_bits, and_bits = bytearray(stride), bytearray(stride)
        for x in range(size):
            ch = line[x] if x < len(line) else ' '
            if ch == '.':
                xor_bits[x // 8] |= 0x80 >> (x % 8)
            elif ch != '#':
                and_bits[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor_bits))
        and_rows.append(bytes(and_bits))
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + palette + b''.join(reversed(xor_rows)) + b''.join(reversed(and_rows))
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(out + image)


if __name__ == '__main__':
    write_bitmap('HeaderLogo.bmp', logo())
    write_bitmap('HeaderTitle.bmp', title())
    write_bitmap('HeaderSlogan.bmp', slogan())
    write_cursor('LinkHand.cur', 5, 0)
