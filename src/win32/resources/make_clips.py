#!/usr/bin/env python3
"""Draws the two looping animation clips, as uncompressed 8-bit AVI files that the animation
control plays: Download.avi (a page travelling from the web to a book, the download window)
and Build.avi (pages gathering into a closed book, the building window).

Run it from this folder after changing a picture.
"""
import struct

WIDTH, HEIGHT, FRAMES = 200, 36, 12
PALETTE = [
    (255, 255, 255),  # 0 background
    (70, 90, 120),    # 1 book cover
    (255, 250, 235),  # 2 paper
    (40, 120, 200),   # 3 globe
    (120, 190, 90),   # 4 land
    (90, 90, 90),     # 5 outline and text lines
    (255, 140, 0),    # 6 the wisp's orange
]


def blank():
    return [[0] * WIDTH for _ in range(HEIGHT)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(HEIGHT, y1)):
        for x in range(max(0, x0), min(WIDTH, x1)):
            img[y][x] = colour


def page(img, x, y):
    rect(img, x, y, x + 14, y + 18, 5)
    rect(img, x + 1, y + 1, x + 13, y + 17, 2)
    for line in range(4):
        rect(img, x + 3, y + 4 + 3 * line, x + 11, y + 5 + 3 * line, 5)


def globe(img, cx, cy, r):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r:
                land = (x - cx) * (y - cy) > 0 and abs(x - cx) > 3
                img[y][x] = 4 if land else 3


def book(img, x, y, open_book):
    rect(img, x, y, x + 30, y + 24, 1)
    if open_book:
        rect(img, x + 2, y + 2, x + 14, y + 21, 2)
        rect(img, x + 16, y + 2, x + 28, y + 21, 2)
    else:
        rect(img, x + 26, y + 2, x + 29, y + 22, 2)
        rect(img, x + 6, y + 8, x + 20, y + 10, 6)


def download_frame(i):
    img = blank()
    globe(img, 20, 18, 14)
    book(img, WIDTH - 40, 6, open_book=True)
    travel = 40 + (WIDTH - 95) * i // (FRAMES - 1)
    page(img, travel, 9)
    return img


def build_frame(i):
    img = blank()
    for n in range(3):
        page(img, 8 + 18 * n, 9)
    book(img, WIDTH - 40, 6, open_book=False)
    travel = 62 + (WIDTH - 118) * i // (FRAMES - 1)
    page(img, travel, 9)
    return img


def write_avi(path, frames):
    row = (WIDTH + 3) & ~3
    size = row * HEIGHT
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    palette += b'\0' * (4 * (256 - len(PALETTE)))

    def chunk(tag, data):
        return tag + struct.pack('<I', len(data)) + data + (b'\0' if len(data) % 2 else b'')

    def lst(kind, data):
        return chunk(b'LIST', kind + data)

    usec = 1000000 // 8
    avih = struct.pack('<14I', usec, size * 8, 0, 0x10, len(frames), 0, 1, size,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b'vids' + b'DIB ' + struct.pack('<IHHIIIIIIIIhhhh', 0, 0, 0, 0, 1, 8, 0,
                                           len(frames), size, 0xFFFFFFFF, 0, 0, 0,
                                           WIDTH, HEIGHT)
    strf = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, size, 0, 0,
                       len(PALETTE), 0) + palette
    header = lst(b'hdrl', chunk(b'avih', avih) + lst(b'strl', chunk(b'strh', strh) +
                                                     chunk(b'strf', strf)))
    movie = b''
    index = b''
    offset = 4
    for img in frames:
        data = b''.join(bytes(line) + b'\0' * (row - WIDTH) for line in reversed(img))
        index += b'00db' + struct.pack('<III', 0x10, offset, len(data))
        movie += chunk(b'00db', data)
        offset += 8 + len(data)
    body = b'AVI ' + header + lst(b'movi', movie) + chunk(b'idx1', index)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


if __name__ == '__main__':
    write_avi('Download.avi', [download_frame(i) for i in range(FRAMES)])
    write_avi('Build.avi', [build_frame(i) for i in range(FRAMES)])
