#!/usr/bin/env bash
# Collects a generated page of several sizes (nested sections, headings, paragraphs with
# links and inline elements: about 45 elements a kilobyte) from a loopback server with
# `wisp collect --static`, and prints the command's peak memory (its largest resident set)
# against the page's markup: the whole peak, and what the page adds to the peak of collecting
# a page of a few bytes. The markup limit (--max-markup-size, default 64 MB) times that ratio
# is what the largest page a reader lets in can cost.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes_mb=${SIZES_MB:-"4 16 32"}
[[ -n ${NO_BUILD:-} ]] || scripts/build.sh native >/dev/null

work=$(mktemp -d)
server_pid=""
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/site" "$work/library/Bench"
printf '<!DOCTYPE html><html><head><title>Small</title></head><body><p>x</p></body></html>\n' \
  >"$work/site/small.html"
for mb in $sizes_mb; do
  python3 - "$work/site/page-$mb.html" "$mb" <<'PY'
import sys
path, megabytes = sys.argv[1], int(sys.argv[2])
with open(path, "w") as page:
    page.write("<!DOCTYPE html><html><head><title>Large</title></head><body>\n")
    written, n = 0, 0
    while written < megabytes * 1024 * 1024:
        block = (f'<div class="section" id="s{n}"><h2>Section {n}</h2>'
                 f'<p>Some <b>bold</b> words, a <a href="#s{max(n - 1, 0)}">link back</a> and '
                 f'<span class="note">a note</span> in a paragraph of text.</p>'
                 f'<ul><li>one</li><li><i>two</i></li></ul></div>\n')
        page.write(block)
        written += len(block)
        n += 1
    page.write("</body></html>\n")
PY
done

coproc SERVER { exec build/native/wisp-example-server "$work/site"; }
server_pid=$SERVER_PID
read -r port <&"${SERVER[0]}"
export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/settings

# The peak resident set of one collect of $1, in kilobytes.
peak_kb() {
  rm -rf "$work/library/Bench"/*
  python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1:], check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' \
    build/native/wisp collect "http://127.0.0.1:$port/$1" --static --max-markup-size 1G \
    --root "$work/library" --book Bench --quiet
}

base_kb=$(peak_kb small.html)
printf 'collecting a page of a few bytes: peak %.1f MB\n' "$(awk -v k="$base_kb" 'BEGIN { print k / 1024 }')"
for mb in $sizes_mb; do
  bytes=$(stat -c %s "$work/site/page-$mb.html")
  kb=$(peak_kb "page-$mb.html")
  ratio=$(awk -v b="$bytes" -v k="$kb" 'BEGIN { print k * 1024 / b }')
  awk -v b="$bytes" -v k="$kb" -v base="$base_kb" -v r="$ratio" 'BEGIN {
    printf "markup %6.1f MB: peak %7.1f MB, %5.1f times the markup (%5.1f times beyond the small page)\n",
      b / 1048576, k / 1024, r, (k - base) * 1024 / b }'
done
awk -v r="$ratio" 'BEGIN {
  printf "a page at the default --max-markup-size of 64 MB: about %.1f GB at the last ratio\n", r * 64 / 1024 }'
