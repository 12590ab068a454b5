#!/usr/bin/env bash
# Builds a generated book of SMALL and LARGE pages (default 200 and 2000) into each format with
# the wisp binary and prints the seconds each took and the ratio large/small, which is about
# LARGE/SMALL (10 by default) when a build is linear in pages.
# Usage: bench/book_formats.sh path/to/wisp [SMALL] [LARGE]
set -euo pipefail
wisp=$(realpath "$1")
small=${2:-200}
large=${3:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/machine

make_book() {  # name pages
  local book=$work/library/$1 pages=$2 i chapter
  for ((i = 0; i < pages; i++)); do
    chapter=$book/Chapter$((i / 50))
    mkdir -p "$chapter/Page $i.files"
    printf '<!DOCTYPE html><meta http-equiv="Content-Type" content="text/html; charset=UTF-8"><HTML><HEAD><META name="keywords" content="topic %d, all"><TITLE>Page %d café</TITLE><LINK rel="stylesheet" href="Page%%20%d.files/site.css"></HEAD><BODY><H1>Page %d</H1><P>%s</P><IMG src="Page%%20%d.files/pic.png"></BODY></HTML>' \
      $((i % 40)) "$i" "$i" "$i" "$(printf 'Words of a saved page. %.0s' {1..40})" "$i" > "$chapter/Page $i.htm"
    printf '.a { color: #333; & p { margin: 0 } } body { max-width: 50rem }' > "$chapter/Page $i.files/site.css"
    printf 'PNG' > "$chapter/Page $i.files/pic.png"
  done
}

make_book Small "$small"
make_book Large "$large"
printf '%-6s %10s %10s %8s\n' format "${small}p s" "${large}p s" ratio
for format in chm epub pdf; do
  times=()
  for book in Small Large; do
    start=$(date +%s.%N)
    "$wisp" build "$book" -o "$work/$book.$format" --root "$work/library" --quiet >/dev/null 2>"$work/err" ||
      { cat "$work/err"; exit 1; }
    times+=("$(echo "$(date +%s.%N) - $start" | bc)")
  done
  printf '%-6s %10.2f %10.2f %8.1f\n' "$format" "${times[0]}" "${times[1]}" "$(echo "${times[1]} / ${times[0]}" | bc -l)"
done
