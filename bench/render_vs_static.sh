#!/usr/bin/env bash
# Collects the same loopback page (a style sheet, pictures, a script that adds a picture and
# text) several times read from its source (--static) and several times rendered in headless
# Chromium, and prints the median wall time of each and what rendering costs beyond the
# static read (target: at most one second).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
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
printf 'body { background: url(img/back.gif) }\n' >"$site/site.css"
for name in back a b c made; do printf 'GIF89a %s' "$name" >"$site/img/$name.gif"; done
cat >"$site/page.html" <<'HTML'
<!DOCTYPE html><html><head><title>Bench</title><link rel="stylesheet" href="site.css"></head>
<body><h1>Bench</h1><img src="img/a.gif"><img src="img/b.gif"><img src="img/c.gif">
<script>
var i = document.createElement('img'); i.src = 'img/made.gif'; document.body.appendChild(i);
document.body.insertAdjacentHTML('beforeend', '<p>Made by the script.</p>');
</script></body></html>
HTML

coproc SERVER { exec build/native/wisp-example-server "$site"; }
server_pid=$SERVER_PID
read -r port <&"${SERVER[0]}"
url="http://127.0.0.1:$port/page.html"
export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/settings

now() { date +%s.%N; }
# The median of the wall times of $runs collects with the given options.
median_seconds() {
  local times=() start i
  for ((i = 0; i < runs; i++)); do
    rm -rf "$work/library/Bench"/*
    start=$(now)
    build/native/wisp collect "$url" "$@" --root "$work/library" --book Bench --quiet
    times+=("$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

static_seconds=$(median_seconds --static)
rendered_seconds=$(median_seconds)
printf 'median of %d runs: static %.2f s   rendered %.2f s   rendering costs %.2f s more (target at most 1.00)\n' \
  "$runs" "$static_seconds" "$rendered_seconds" \
  "$(awk -v a="$rendered_seconds" -v b="$static_seconds" 'BEGIN { print a - b }')"
