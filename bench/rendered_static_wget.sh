#!/usr/bin/env bash
# Collects a generated page of 200 pictures from a loopback server that waits 20 ms before
# each answer, in turn rendered (headless Chromium), read from its source (--static) and with
# wget --page-requisites --convert-links, RUNS rounds of the three; prints each one's median
# wall time and peak memory (the largest single process), its ratio to wget, and the rendered
# and static times against what the latency alone allows. The rendered time is also set against
# the browser's own: the browser wisp renders with, alone, loading the same page and handing
# over its document, start and end included.
#   RUNS=5 RESOURCES=200 LATENCY_MS=20 bench/rendered_static_wget.sh
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
resources=${RESOURCES:-200}
latency_ms=${LATENCY_MS:-20}
transfers=8         # wisp's resource transfers at once (its default)
browser_streams=6   # the browser's connections to one host
browser_start=0.3   # seconds for headless Chromium to come up

for tool in wget /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done
scripts/build.sh native >/dev/null

work=$(mktemp -d)
server_pid=""
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
site=$work/site
mkdir -p "$site/img" "$work/library/Bench"
{
  echo "<!DOCTYPE html><html><head><title>Bench</title></head><body>"
  for ((i = 0; i < resources; i++)); do
    # One pixel each, which the browser can show, told apart by what follows the trailer.
    printf 'GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;%d' "$i" \
      >"$site/img/r$i.gif"
    echo "<img src=\"img/r$i.gif\" alt=\"$i\">"
  done
  echo "</body></html>"
} >"$site/page.html"

coproc SERVER { exec build/native/wisp-example-server "$site" --latency-ms "$latency_ms"; }
server_pid=$SERVER_PID
read -r port <&"${SERVER[0]}"
url="http://127.0.0.1:$port/page.html"
export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/settings

# One run of a way: appends "wall-seconds peak-KiB" to $work/times-<way>.
run() {
  local way=$1
  rm -rf "$work/library/Bench"/* "$work/wget"
  case $way in
    rendered) set -- build/native/wisp collect "$url" --root "$work/library" --book Bench --quiet ;;
    static) set -- build/native/wisp collect "$url" --static --root "$work/library" --book Bench --quiet ;;
    wget) set -- wget -q --page-requisites --convert-links -P "$work/wget" "$url" ;;
  esac
  /usr/bin/time -f '%e %M' -o "$work/time" "$@"
  cat "$work/time" >>"$work/times-$way"
  if [[ $way != wget ]]; then
    local saved
    saved=$(find "$work/library/Bench/Bench.files" -type f | wc -l)
    [[ $saved -eq $resources ]] || { echo "$way saved $saved of $resources pictures" >&2; exit 1; }
  fi
}

# The browser `wisp collect` renders with, alone: started in a fresh profile, the page loaded in
# the same window and its document handed over. Appends the whole process's seconds.
browser_alone() {
  local program=(chromium --headless=new)
  [[ -x /usr/lib/chromium/chromium-headless-shell ]] &&
    program=(/usr/lib/chromium/chromium-headless-shell --single-process --disable-font-subpixel-positioning)
  local no_sandbox=()
  [[ $(id -u) -ne 0 ]] || no_sandbox=(--no-sandbox)
  /usr/bin/time -f '%e' -o "$work/time-browser" "${program[@]}" "${no_sandbox[@]}" --incognito \
    --user-data-dir="$(mktemp -d "$work/profile-XXXXXX")" --window-size=1280,900 \
    --dump-dom "$url" >/dev/null 2>&1
  cat "$work/time-browser" >>"$work/times-browser"
}

run rendered >/dev/null; rm -f "$work/times-rendered"  # a warm-up: the browser's files in the cache
for ((r = 0; r < runs; r++)); do
  for way in rendered static wget; do run "$way"; done
  if command -v chromium >/dev/null; then browser_alone; fi
done

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
wall() { cut -d' ' -f1 "$work/times-$1" | median; }
peak() { cut -d' ' -f2 "$work/times-$1" | median; }
wget_wall=$(wall wget)
latency_limit=$(awk -v n="$resources" -v l="$latency_ms" -v t="$transfers" 'BEGIN { print n * l / 1000 / t }')
browser_limit=$(awk -v n="$resources" -v l="$latency_ms" -v t="$browser_streams" -v s="$browser_start" \
  'BEGIN { print n * l / 1000 / t + s }')

printf '%d pictures, %d ms per answer, median of %d rounds\n' "$resources" "$latency_ms" "$runs"
printf '%-9s %8s %10s %12s\n' way wall peak "ratio to wget"
for way in rendered static wget; do
  printf '%-9s %7.3fs %7.0f MiB %12.3f\n' "$way" "$(wall "$way")" \
    "$(awk -v k="$(peak "$way")" 'BEGIN { print k / 1024 }')" \
    "$(awk -v a="$(wall "$way")" -v b="$wget_wall" 'BEGIN { print a / b }')"
done
printf 'rendered / the browser'\''s own limit (%.2f s: %d connections, its start): %.2f (target at most 1.3)\n' \
  "$browser_limit" "$browser_streams" "$(awk -v a="$(wall rendered)" -v b="$browser_limit" 'BEGIN { print a / b }')"
if [[ -s $work/times-browser ]]; then
  browser_own=$(median <"$work/times-browser")
  printf 'rendered / the browser alone (%.2f s: its start, the page loaded, its document read): %.2f\n' \
    "$browser_own" "$(awk -v a="$(wall rendered)" -v b="$browser_own" 'BEGIN { print a / b }')"
fi
printf 'static / the latency limit (%.2f s, %d transfers): %.2f (target at most 1.2)\n' \
  "$latency_limit" "$transfers" "$(awk -v a="$(wall static)" -v b="$latency_limit" 'BEGIN { print a / b }')"
