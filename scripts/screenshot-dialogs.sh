#!/usr/bin/env bash
# Pictures of the bar's dialogs (Book Management, About, New Book) as a person sees them
# under Wine, written as PNG files into docs/images/ (or the folder given).
# Needs the win64 build (scripts/build.sh win64). Runs inside its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/images}")
build=build/win64
program=$build/tools/pictures/wisp_dialog_pictures.exe
[[ -f $build/build.ninja ]] || { echo "build first: scripts/build.sh win64" >&2; exit 1; }
cmake --build --preset win64 --target wisp_dialog_pictures
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A prefix of its own in which Wine draws the windows' frames and captions itself, as
# there is no window manager on the private display to draw them.
prefix=$build/screenshot-prefix
run() { timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" cmake/wine-run.sh "$prefix" "$@"; }
run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
run "$program" "Z:${work//\//\\}"

for name in BookManagement About NewBook; do
  python3 scripts/bmp-to-png.py "$work/$name.bmp" "$out/$name.png"
  echo "$out/$name.png"
done
