#!/usr/bin/env python3
"""Writes the browser extension's pictures (extension/icons/*.png) from the bar's own: the
button icon of make_icons.py, the toolbar's and the tree's pixel art of make_bitmaps.py, so
the panel and the bar stay one picture. Run it after changing any of them."""
import importlib.util
import pathlib
import struct
import zlib

TOP = pathlib.Path(__file__).resolve().parent.parent


def load(name):
    module_source = importlib.util.spec_from_file_location(
        name, TOP / 'src' / 'win32' / 'resources' / (name + '.py'))
    module = importlib.util.module_from_spec(module_source)
    module_source.loader.exec_module(module)
    return module


bar_icons = load('make_icons')
bar_bitmaps = load('make_bitmaps')
# The tree's images by the kind of item they show.
TREE_PICTURES = {'folder': 0, 'folder-open': 1, 'page': 10}


def pixel_art(picture, background):
    """RGBA rows of a palette picture; the background letter (and '.') is transparent."""
    colours = dict(bar_bitmaps.PALETTE)
    return [[(0, 0, 0, 0) if c in ('.', background) else colours[c] + (255,) for c in line]
            for line in picture]


def png(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b''.join(b'\0' + bytes(c for pixel in row for c in pixel) for row in pixels)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


if __name__ == '__main__':
    icons = TOP / 'extension' / 'icons'
    for size in (16, 32, 48, 128):
        (icons / f'wisp-{size}.png').write_bytes(png(bar_icons.draw(size, True)))
    for name in ('new', 'paste', 'build', 'books', 'help'):
        (icons / f'tool-{name}.png').write_bytes(png(pixel_art(bar_bitmaps.TOOLBAR[name], 's')))
    for name, index in TREE_PICTURES.items():
        (icons / f'tree-{name}.png').write_bytes(png(pixel_art(bar_bitmaps.TREE[index], 'f')))
