#!/usr/bin/env python3
"""Converts a 24-bit bottom-up Windows bitmap (as the bar's picture program writes it) to PNG.

Usage: bmp_to_png.py IN.bmp OUT.png
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits != 24:
        raise SystemExit('only 24-bit bitmaps')
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(abs(height)):
        source = (abs(height) - 1 - y) if height > 0 else y
        line = data[offset + source * stride: offset + source * stride + width * 3]
        rows.append(bytes(c for i in range(0, len(line), 3) for c in (line[i + 2], line[i + 1], line[i])))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b''.join(b'\0' + row for row in rows)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


if __name__ == '__main__':
    write_png(sys.argv[2], *read_bmp(sys.argv[1]))
