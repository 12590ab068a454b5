#!/usr/bin/env python3
"""Writes the browser extension's icons (extension/icons/*.png) from the bar's button picture,
the same drawing as the DLL's icons, so both stay one picture. Run it after changing it."""
import importlib.util
import pathlib
import struct
import zlib

TOP = pathlib.Path(__file__).resolve().parent.parent
spec = importlib.util.spec_from_file_location(
    'make_icons', TOP / 'src' / 'win32' / 'resources' / 'make_icons.py')
bar_icons = importlib.util.module_from_spec(spec)
spec.loader.exec_module(bar_icons)


def png(pixels):
    size = len(pixels)
    raw = b''.join(b'\0' + bytes(c for pixel in row for c in pixel) for row in pixels)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


if __name__ == '__main__':
    for size in (16, 32, 48, 128):
        (TOP / 'extension' / 'icons' / f'wisp-{size}.png').write_bytes(png(bar_icons.draw(size, True)))
