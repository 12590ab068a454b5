#!/usr/bin/env bash
# Renders the bar beside a sample library in a small host window under Wine inside Xvfb and
# saves the picture as docs/images/bar.png (the README shows it). Builds win64 when needed.
set -euo pipefail
cd "$(dirname "$0")/.."

[[ -f build/win64/build.ninja ]] || scripts/build.sh win64
cmake --build --preset win64 --target qxwisp_bar_picture
mkdir -p docs/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run=(cmake/wine-run.sh build/win64/wineprefix build/win64/tools/pictures/qxwisp_bar_picture.exe "$work/bar.bmp")
if [[ -n "${DISPLAY:-}" ]]; then
  timeout 120 "${run[@]}"
else
  # A screen of its own, so the picture does not depend on the caller's display.
  timeout 120 xvfb-run -a -s "-screen 0 800x600x24" "${run[@]}"
fi
python3 scripts/bmp-to-png.py "$work/bar.bmp" docs/images/bar.png
echo "docs/images/bar.png"
