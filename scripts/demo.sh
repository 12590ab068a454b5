#!/usr/bin/env bash
# The demo: serves the bundled example site on a loopback port, collects pages from it into a
# demo library under build/demo (one whole page, one selection, one frame page), builds the
# book into a compiled help file, and prints the book's tree and the file's contents.
# Offline and repeatable; needs root only to install missing packages.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh native
scripts/build.sh native >/dev/null

wisp=build/native/wisp
demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo/library"
# The demo's settings stay in its own folder, never the reader's.
export WISP_USER_SETTINGS_DIR=$demo/settings/user
export WISP_MACHINE_SETTINGS_DIR=$demo/settings/machine

coproc SERVER { exec build/native/wisp-example-server examples/site; }
read -r port <&"${SERVER[0]}"
site="http://127.0.0.1:$port"
echo "== Serving examples/site at $site"

step() {
  echo
  echo "\$ wisp $(printf '%q ' "$@")"
  "$wisp" "$@"
}

step root "$demo/library"
step new-book Garden
step mkdir Winter --book Garden
step collect "$site/index.html" --book Garden
step collect "$site/index.html" --book Garden --folder Winter --selection "div.recipe" \
  --title "Winter Recipes"
step collect "$site/frames.html" --book Garden
step books
step tree Garden
step build Garden -o "$demo/Garden.chm"

echo
echo "== Contents of $demo/Garden.chm"
enum_chmLib "$demo/Garden.chm" | awk -F'\t\t' '$1 ~ /normal file/ {print "  " $2}'

step build Garden -o "$demo/Garden.epub"

echo
echo "== Contents of $demo/Garden.epub"
python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book:
    for entry in book.infolist():
        print("  %-40s %s" % (entry.filename, "stored" if entry.compress_type == 0 else "deflated"))
    print()
    print(book.read("EPUB/nav.xhtml").decode())
' "$demo/Garden.epub"
# The jar directly: its /usr/bin wrapper needs binfmt_misc, which containers often lack.
echo
echo "== epubcheck $demo/Garden.epub"
java -jar /usr/share/java/epubcheck.jar "$demo/Garden.epub"
