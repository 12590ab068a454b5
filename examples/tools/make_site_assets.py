#!/usr/bin/env python3
"""Writes the example site's binary files: small PNG pictures and a zip archive.

The files are committed; run this again only to change them. Standard library only.
"""
import struct
import zipfile
import zlib
from pathlib import Path

SITE = Path(__file__).resolve().parent.parent / "site"


def png(width, height, pixel):
    """A truecolour PNG whose pixel (x, y) is pixel(x, y) -> (r, g, b)."""
    rows = b"".join(
        b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height)
    )

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def logo(x, y):
    # A green leaf on cream.
    cx, cy = x - 24, y - 24
    inside = (cx * cx) / 400 + (cy * cy) / 120 <= 1
    return (60, 140, 60) if inside else (250, 246, 230)


def tomato(x, y):
    cx, cy = x - 32, y - 32
    d = cx * cx + cy * cy
    if d < 26 * 26:
        return (200 + min(55, d // 20), 40, 30)
    return (255, 255, 255)


def stripes(x, y):
    return (235, 242, 230) if (x + y) // 4 % 2 else (245, 250, 240)


def arrow(x, y):
    return (40, 90, 160) if abs(y - 8) <= x // 2 and x < 16 else (255, 255, 255)


def main():
    images = SITE / "images"
    images.mkdir(parents=True, exist_ok=True)
    (images / "logo.png").write_bytes(png(48, 48, logo))
    (images / "tomato.png").write_bytes(png(64, 64, tomato))
    (images / "background.png").write_bytes(png(16, 16, stripes))
    (images / "go.png").write_bytes(png(16, 16, arrow))

    downloads = SITE / "downloads"
    downloads.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(downloads / "seeds.zip", "w", zipfile.ZIP_DEFLATED) as archive:
        info = zipfile.ZipInfo("seeds.txt", date_time=(2026, 1, 1, 0, 0, 0))
        archive.writestr(info, "Tomato: sow in March, indoors.\nBasil: sow in April.\n")


if __name__ == "__main__":
    main()
