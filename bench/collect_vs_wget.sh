#!/usr/bin/env bash
# Collects a generated page with 200 resources from a loopback server that waits 20 ms before
# each answer, once with wisp and once with wget --page-requisites --convert-links, and
# prints wisp's wall time as a ratio of wget's (lower is better).
set -euo pipefail
cd "$(dirname "$0")/.."

resources=${RESOURCES:-200}
latency_ms=${LATENCY_MS:-20}

if ! command -v wget >/dev/null; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -q && $sudo apt-get install -y -q wget
fi
scripts/build.sh native >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
site=$work/site
mkdir -p "$site/img" "$work/library/Bench"
{
  echo "<html><head><title>Bench</title></head><body>"
  for ((i = 0; i < resources; i++)); do
    printf 'GIF89a resource %d' "$i" >"$site/img/r$i.gif"
    echo "<img src=\"img/r$i.gif\" alt=\"$i\">"
  done
  echo "</body></html>"
} >"$site/page.html"

coproc SERVER { exec build/native/wisp-example-server "$site" --latency-ms "$latency_ms"; }
read -r port <&"${SERVER[0]}"
url="http://127.0.0.1:$port/page.html"

now() { date +%s.%N; }

export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/settings
start=$(now)
build/native/wisp collect "$url" --static --root "$work/library" --book Bench --quiet
wisp_seconds=$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')
fetched=$(find "$work/library/Bench/Bench.files" -type f | wc -l)

start=$(now)
(cd "$work" && wget -q --page-requisites --convert-links -P wget "$url")
wget_seconds=$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')

printf 'resources: %d (wisp fetched %d), latency %d ms per request\n' \
  "$resources" "$fetched" "$latency_ms"
printf 'wisp: %.2f s   wget: %.2f s   ratio wisp/wget: %.3f (target at most 0.3)\n' \
  "$wisp_seconds" "$wget_seconds" "$(awk -v a="$wisp_seconds" -v b="$wget_seconds" 'BEGIN { print a / b }')"
