"""A page of today's web for the fidelity benchmark, written into a folder: a web font, an
@import chain, picture/srcset and image-set(), an image a script loads lazily, an SVG sprite,
a video poster, a <base href> every reference depends on, an inline frame, and a chart that a
module loaded with import() draws as SVG. The pictures are PNG files of solid colours, so
that what a copy misses shows in its screenshot."""

import shutil
import struct
import zlib
from pathlib import Path

FONT = Path("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf")


def png(width, height, rgb):
    """A PNG of one colour."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    row = b"\0" + bytes(rgb) * width
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(row * height)) + chunk(b"IEND", b""))


FILES = {
    "assets/css/main.css": "@import url(layout.css);\n"
    "@font-face { font-family: Reading; src: url(../fonts/reading.ttf) format('truetype'); }\n"
    "h1 { font-family: Reading, sans-serif; font-size: 40px; color: #203060; }\n",
    "assets/css/layout.css": "@import 'colours.css';\n"
    ".banner { height: 60px; background-image: image-set(url(../img/banner.png) 1x,"
    " url(../img/banner-2x.png) 2x); }\n",
    "assets/css/colours.css": "body { background: #fbf8f0 url(../img/paper.png) repeat-x; margin: 16px; }\n",
    "assets/frame.html": "<!DOCTYPE html><html><body style='margin:0'>"
    "<img src='img/framed.png' alt=''></body></html>",
    "assets/sprite.svg": "<svg xmlns='http://www.w3.org/2000/svg'><symbol id='dot' viewBox='0 0 10 10'>"
    "<circle cx='5' cy='5' r='5' fill='#c03030'/></symbol></svg>",
    "assets/js/chart.js": "import {palette} from './palette.js';\n"
    "export function draw(holder, values) {\n"
    "  const ns = 'http://www.w3.org/2000/svg';\n"
    "  const svg = document.createElementNS(ns, 'svg');\n"
    "  svg.setAttribute('width', 300); svg.setAttribute('height', 120);\n"
    "  values.forEach((v, i) => { const bar = document.createElementNS(ns, 'rect');\n"
    "    bar.setAttribute('x', i * 40); bar.setAttribute('y', 120 - v); bar.setAttribute('width', 30);\n"
    "    bar.setAttribute('height', v); bar.setAttribute('fill', palette[i % palette.length]);\n"
    "    svg.appendChild(bar); });\n"
    "  holder.appendChild(svg);\n}\n",
    "assets/js/palette.js": "export const palette = ['#2a6fb0', '#e0a020', '#40a060'];\n",
    "index.html": """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Modern features</title>
<base href="assets/">
<link rel="stylesheet" href="css/main.css">
</head><body>
<div class="banner"></div>
<h1>Today's web, offline</h1>
<picture><source media="(min-width: 600px)" srcset="img/wide.png 1x, img/wide-2x.png 2x">
<img src="img/narrow.png" srcset="img/narrow.png 1x" alt="picture"></picture>
<img class="lazy" data-src="img/lazy.png" alt="" width="120" height="40">
<svg width="40" height="40"><use href="sprite.svg#dot"/></svg>
<video poster="img/poster.png" width="160" height="90"></video>
<iframe src="frame.html" width="140" height="60" style="border:0"></iframe>
<div id="chart"></div>
<script>
for (const img of document.querySelectorAll('img.lazy')) img.src = img.dataset.src;
</script>
<script type="module">
import('./js/chart.js').then(({draw}) => draw(document.getElementById('chart'), [40, 90, 60, 110, 30]));
</script>
</body></html>
""",
}

PICTURES = {
    "assets/img/banner.png": (640, 60, (90, 140, 200)),
    "assets/img/banner-2x.png": (1280, 120, (90, 140, 200)),
    "assets/img/paper.png": (8, 8, (240, 232, 210)),
    "assets/img/wide.png": (320, 80, (200, 120, 60)),
    "assets/img/wide-2x.png": (640, 160, (200, 120, 60)),
    "assets/img/narrow.png": (160, 80, (60, 120, 200)),
    "assets/img/lazy.png": (120, 40, (120, 60, 160)),
    "assets/img/poster.png": (160, 90, (30, 30, 30)),
    "assets/img/framed.png": (140, 60, (60, 160, 90)),
}


def write_modern_site(folder):
    folder = Path(folder)
    for name, text in FILES.items():
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        (folder / name).write_text(text)
    for name, (width, height, rgb) in PICTURES.items():
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        (folder / name).write_bytes(png(width, height, rgb))
    (folder / "assets/fonts").mkdir(parents=True, exist_ok=True)
    shutil.copyfile(FONT, folder / "assets/fonts/reading.ttf")
