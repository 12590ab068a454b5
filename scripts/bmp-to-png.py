#!/usr/bin/env python3
"""Converts uncompressed 24- or 32-bit BMP files to PNG with the standard library only.

Usage: bmp-to-png.py IN.bmp OUT.png [SCALE]   (SCALE, a whole number, enlarges for viewing)
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    if bits not in (24, 32) or compression not in (0, 3):
        raise SystemExit(f'{path}: only uncompressed 24- or 32-bit bitmaps')
    step = bits // 8
    stride = (width * step + 3) // 4 * 4
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        line = data[start:start + width * step]
        rows.append(bytes(c for x in range(width) for c in (line[x * step + 2], line[x * step + 1], line[x * step])))
    if height > 0:  # bottom-up
        rows.reverse()
    return width, abs(height), rows


def write_png(path, width, height, rows, scale=1):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    raw = b''
    for row in rows:
        wide = b''.join(row[x * 3:x * 3 + 3] * scale for x in range(width))
        raw += (b'\0' + wide) * scale
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', width * scale, height * scale, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9))
    png += chunk(b'IEND', b'')
    open(path, 'wb').write(png)


if __name__ == '__main__':
    scale = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    w, h, r = read_bmp(sys.argv[1])
    write_png(sys.argv[2], w, h, r, scale)
