#!/usr/bin/env python3
"""Draws the bar's bitmaps as 16-colour pixel art.

Writes Toolbar.bmp (bitmap 204: the seven toolbar images, 16 x 15 each, silver background
that the toolbar shows in the button colour) and TreeImages.bmp (bitmap 206: 42 images of
16 x 16, magenta transparent; 0 a closed book, 1 an open book, 10 a page, the rest free).
Run it from this folder after changing a picture.
"""
import struct

# The standard 16-colour palette; each picture names its colours by one letter.
PALETTE = [
    ('k', (0, 0, 0)), ('m', (128, 0, 0)), ('g', (0, 128, 0)), ('o', (128, 128, 0)),
    ('n', (0, 0, 128)), ('p', (128, 0, 128)), ('t', (0, 128, 128)), ('s', (192, 192, 192)),
    ('d', (128, 128, 128)), ('r', (255, 0, 0)), ('l', (0, 255, 0)), ('y', (255, 255, 0)),
    ('b', (0, 0, 255)), ('f', (255, 0, 255)), ('a', (0, 255, 255)), ('w', (255, 255, 255)),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}

TOOLBAR = {
    'new': [
        "............y...",
        "..kkkkkkk..yyy..",
        "..kwwwwwkk..y...",
        "..kwwwwwkwk.....",
        "..kwwwwwkkkk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kwwwwwwwwk....",
        "..kkkkkkkkkk....",
        "................",
    ],
    'paste': [
        "................",
        "......kkkk......",
        "..ooookddkoooo..",
        "..ookkkkkkkkoo..",
        "..oowwwwwwwwoo..",
        "..oowkkkkkkwoo..",
        "..oowwwwwwwwoo..",
        "..oowkkkkkkwoo..",
        "..oowwwwwwwwoo..",
        "..oowkkkkkwwoo..",
        "..oowwwwwwwwoo..",
        "..oowwwwwwwwoo..",
        "..oooooooooooo..",
        "..oooooooooooo..",
        "................",
    ],
    'build': [
        "................",
        "....bbbbbbbbbk..",
        "...bbbbbbbbbbk..",
        "..bbbbbbyybbbk..",
        "..nbbbbyybbbbk..",
        "..nbbbyyyyybbk..",
        "..nbbbbbyybbbk..",
        "..nbbbbyybbbbk..",
        "..nbbbbybbbbbk..",
        "..nbbbbbbbbbbk..",
        "..nbbbbbbbbbbk..",
        "..nwwwwwwwwwwk..",
        "..nkkkkkkkkkkk..",
        "................",
        "................",
    ],
    'edit': [
        "................",
        "...........kk...",
        "..........krrk..",
        ".........kyyrk..",
        "........kyyyk...",
        ".......kyyyk....",
        "......kyyyk.....",
        ".....kyyyk......",
        "....kyyyk.......",
        "...kyyyk........",
        "...kwyk.........",
        "...kkk..........",
        "...kk...........",
        "................",
        "................",
    ],
    'save': [
        "................",
        "..kkkkkkkkkkkk..",
        "..knwwwwwwwwnk..",
        "..knwwwwwwwwnk..",
        "..knwwwwwwwwnk..",
        "..knwwwwwwwwnk..",
        "..knnnnnnnnnnk..",
        "..knnnnnnnnnnk..",
        "..knnddddddnnk..",
        "..knnddwwddnnk..",
        "..knnddwwddnnk..",
        "..knnddddddnnk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    ],
    'books': [
        "................",
        ".kkkk.kkkk.kkkk.",
        ".krrk.kggk.kbbk.",
        ".krrk.kggk.kbbk.",
        ".kyyk.kyyk.kyyk.",
        ".krrk.kggk.kbbk.",
        ".krrk.kggk.kbbk.",
        ".krrk.kggk.kbbk.",
        ".krrk.kggk.kbbk.",
        ".kyyk.kyyk.kyyk.",
        ".krrk.kggk.kbbk.",
        ".krrk.kggk.kbbk.",
        ".kkkk.kkkk.kkkk.",
        "dddddddddddddddd",
        "................",
    ],
    'help': [
        "................",
        ".....bbbbbb.....",
        "....bbwwwwbb....",
        "...bbwwbbwwbb...",
        "...bbbbbbwwbb...",
        "...bbbbbwwbbb...",
        "...bbbbwwbbbb...",
        "...bbbbwwbbbb...",
        "...bbbbbbbbbb...",
        "...bbbbwwbbbb...",
        "....bbbwwbbb....",
        ".....bbbbbb.....",
        "................",
        "................",
        "................",
    ],
}
TOOLBAR_ORDER = ['new', 'paste', 'build', 'edit', 'save', 'books', 'help']

TREE = {
    0: [  # a closed book
        "ffffffffffffffff",
        "fffkkkkkkkkkkfff",
        "fffknbbbbbbbbkff",
        "fffknbbbbbbbbkff",
        "fffknbyyyyybbkff",
        "fffknbbbbbbbbkff",
        "fffknbyyyybbbkff",
        "fffknbbbbbbbbkff",
        "fffknbbbbbbbbkff",
        "fffknbbbbbbbbkff",
        "fffknbbbbbbbbkff",
        "fffknbbbbbbbbkff",
        "fffknkkkkkkkkkff",
        "fffknwwwwwwwwkff",
        "ffffkkkkkkkkkkff",
        "ffffffffffffffff",
    ],
    1: [  # an open book
        "ffffffffffffffff",
        "ffffffffffffffff",
        "ffffffffffffffff",
        "fkkkkkkffkkkkkkf",
        "kwwwwwwkkwwwwwwk",
        "kwddddwkkwddddwk",
        "kwwwwwwkkwwwwwwk",
        "kwddddwkkwddddwk",
        "kwwwwwwkkwwwwwwk",
        "kwddddwkkwddddwk",
        "kwwwwwwkkwwwwwwk",
        "kwwwwwwkkwwwwwwk",
        "kbbbbbbbbbbbbbbk",
        "fkkkkkkkkkkkkkkf",
        "ffffffffffffffff",
        "ffffffffffffffff",
    ],
    10: [  # a page
        "ffffffffffffffff",
        "fffkkkkkkkkfffff",
        "fffkwwwwwwkkffff",
        "fffkwwwwwwkwkfff",
        "fffkwwwwwwkkkkff",
        "fffkwddddwwwwkff",
        "fffkwwwwwwwwwkff",
        "fffkwddddddwwkff",
        "fffkwwwwwwwwwkff",
        "fffkwddddddwwkff",
        "fffkwwwwwwwwwkff",
        "fffkwddddddwwkff",
        "fffkwwwwwwwwwkff",
        "fffkwwwwwwwwwkff",
        "fffkkkkkkkkkkkff",
        "ffffffffffffffff",
    ],
}
TREE_IMAGES = 42


def strip(pictures, width, height, background):
    """One row of pictures side by side, as rows of palette indexes, top row first."""
    rows = [[] for _ in range(height)]
    for picture in pictures:
        picture = picture or [background * width] * height
        assert len(picture) == height, picture
        for y, line in enumerate(picture):
            line = line.replace('.', background)
            assert len(line) == width, line
            rows[y].extend(INDEX[c] for c in line)
    return rows


def write_bmp(path, rows):
    """A 4-bit palettised Windows bitmap, bottom-up."""
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):
        packed = bytearray(stride)
        for x, index in enumerate(row):
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(packed)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + palette + pixels)


if __name__ == '__main__':
    write_bmp('Toolbar.bmp', strip([TOOLBAR[n] for n in TOOLBAR_ORDER], 16, 15, 's'))
    write_bmp('TreeImages.bmp', strip([TREE.get(i) for i in range(TREE_IMAGES)], 16, 16, 'f'))
