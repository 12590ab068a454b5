#!/usr/bin/env bash
# Saves a generated manual of 500 pages (a table of contents, chapters that link each other,
# shared style sheets and pictures) from a loopback server that waits 20 ms before each answer,
# with `wisp collect --follow --static` and with wget --recursive (RUNS times each, 3 unless
# told), and prints for each the pages saved, the in-scope links that work offline (every
# relative link of every saved page opened from disk; an in-scope link left pointing at the
# server counts as broken, unless the server has no such file: those are broken at the source
# and counted apart), the median of the wall times and the disk use (each distinct file once,
# hard links once, folders not counted: its bytes, and the blocks the file system gave them).
# Then the same for a real manual, Sphinx's own from Debian's sphinx-doc, served the same way.
set -euo pipefail
cd "$(dirname "$0")/.."

chapters=${CHAPTERS:-25}
sections=${SECTIONS:-20}
latency_ms=${LATENCY_MS:-20}
# The crawl's bound of requests at once to the one host. At the default 8, the 20 ms answers
# alone take 501 x 20 / 8 = 1.25 s, 0.11 of wget's time before a page is written on this
# machine's two cores; 16, what a reader may give for a manual's own server, leaves room for it.
transfers=${TRANSFERS:-16}
# Runs of each tool, in turn; the wall time printed is their median: one run of the crawl
# lasts well under a second, and this machine's speed alone moves such a run by a tenth.
runs=${RUNS:-3}

# wget, and the real manual of sphinx-doc (REAL_MANUAL=0 skips it).
wanted=(wget)
[[ ${REAL_MANUAL:-1} == 0 ]] || wanted+=(sphinx-doc)
missing=()
for p in "${wanted[@]}"; do
  [[ $(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true) == "install ok installed" ]] ||
    missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[[ -n ${NO_BUILD:-} ]] || scripts/build.sh native >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
site=$work/site/manual
mkdir -p "$site/css" "$site/img" "$work/library"

printf 'body { background: url(../img/paper.png) } h1 { color: navy }\n' >"$site/css/manual.css"
printf '@import url(manual.css); pre { background: url(../img/code.png) }\n' >"$site/css/print.css"
for picture in paper code logo next prev up; do
  head -c 3000 /dev/urandom >"$site/img/$picture.png"
done
for ((f = 0; f < 10; f++)); do head -c 20000 /dev/urandom >"$site/img/figure$f.png"; done

page_head() { # the head of a page, `up` leading to the top folder
  local up=$1 title=$2
  printf '<!DOCTYPE html><html><head><title>%s</title>' "$title"
  printf '<link rel="stylesheet" href="%scss/manual.css"><link rel="stylesheet" media="print" href="%scss/print.css">' "$up" "$up"
  printf '</head><body><img src="%simg/logo.png" alt="logo"><h1>%s</h1>\n' "$up" "$title"
}
{
  page_head "" "Manual"
  echo "<ul>"
  for ((c = 1; c <= chapters; c++)); do
    echo "<li><a href=\"ch$c/index.html\">Chapter $c</a><ul>"
    for ((s = 1; s < sections; s++)); do
      echo "<li><a href=\"ch$c/s$s.html#top\">Section $c.$s</a></li>"
    done
    echo "</ul></li>"
  done
  echo "</ul><a href=\"../elsewhere.html\">outside</a></body></html>"
} >"$site/index.html"
for ((c = 1; c <= chapters; c++)); do
  mkdir -p "$site/ch$c"
  {
    page_head "../" "Chapter $c"
    for ((s = 1; s < sections; s++)); do echo "<p><a href=\"s$s.html\">Section $s</a></p>"; done
    echo "<a href=\"../index.html\"><img src=\"../img/up.png\" alt=\"up\"></a></body></html>"
  } >"$site/ch$c/index.html"
  for ((s = 1; s < sections; s++)); do
    other=$(((c + s) % chapters + 1))
    {
      page_head "../" "Section $c.$s"
      echo "<a name=\"top\"></a><p>Text of section $c.$s.</p><img src=\"../img/figure$((s % 10)).png\" alt=\"figure\">"
      echo "<pre>example $c.$s</pre><p>See <a href=\"../ch$other/s$(((s % (sections - 1)) + 1)).html#top\">a section of chapter $other</a>"
      echo "and <a href=\"../ch$other/index.html\">its chapter</a>.</p>"
      [[ $s -gt 1 ]] && echo "<a href=\"s$((s - 1)).html\"><img src=\"../img/prev.png\" alt=\"previous\"></a>"
      [[ $s -lt $((sections - 1)) ]] && echo "<a href=\"s$((s + 1)).html\"><img src=\"../img/next.png\" alt=\"next\"></a>"
      echo "<a href=\"index.html\"><img src=\"../img/up.png\" alt=\"up\"></a> <a href=\"../index.html\">Contents</a></body></html>"
    } >"$site/ch$c/s$s.html"
  done
done
echo "<html><body>elsewhere</body></html>" >"$work/site/elsewhere.html"

now() { date +%s.%N; }
export WISP_USER_SETTINGS_DIR=$work/settings WISP_MACHINE_SETTINGS_DIR=$work/settings

# Pages, links working offline and distinct bytes of a saved tree.
measure() {
  python3 - "$1" "$2" "$3" "$4" <<'PY'
import html.parser, os, sys, urllib.parse
root, ending, scope, served = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
def on_server(url):  # the file the example server answers the address with
    path = urllib.parse.unquote(urllib.parse.urlsplit(url).path)
    local = os.path.normpath(os.path.join(served, path.lstrip("/")))
    return os.path.isfile(local) or os.path.isfile(os.path.join(local, "index.html"))
class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(); self.hrefs = []
    def handle_starttag(self, tag, attrs):
        if tag in ("a", "area"):
            self.hrefs += [v for k, v in attrs if k == "href" and v]
pages = working = links = unserved = 0
inodes = {}
for folder, _, files in os.walk(root):
    for name in files:
        path = os.path.join(folder, name)
        info = os.stat(path)
        inodes[(info.st_dev, info.st_ino)] = (info.st_size, info.st_blocks * 512)
        if not name.endswith(ending) or ".files" in folder.split(os.sep):
            continue
        pages += 1
        parser = Links()
        parser.feed(open(path, encoding="utf-8", errors="replace").read())
        for href in parser.hrefs:
            target = href.split("#")[0]
            if target.startswith(scope) and not on_server(target):
                unserved += 1  # broken on the site itself
            elif target.startswith(scope):
                links += 1  # in the scope, yet still pointing at the server
            elif target and "://" not in target and not target.startswith(("mailto:", "javascript:")):
                links += 1
                local = os.path.normpath(os.path.join(folder, urllib.parse.unquote(target)))
                working += os.path.isfile(local)
print(pages, working, links, unserved, sum(size for size, _ in inodes.values()),
      sum(blocks for _, blocks in inodes.values()))
PY
}

# The seconds since `start` (a `now` reading).
since() {
  awk -v a="$(now)" -v b="$1" 'BEGIN { print a - b }'
}

# The median of the numbers given.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Serves FOLDER, saves the site from PATH in it with both tools, RUNS times each in turn
# (each run into a folder of its own: a book of its own for wisp, which would otherwise keep
# the pages an earlier run saved), and prints for each tool the first run's pages, links and
# disk use and the median of its wall times.
compare() {
  local name=$1 folder=$2 path=$3
  coproc SERVER { exec build/native/wisp-example-server "$folder" --latency-ms "$latency_ms"; }
  local port
  read -r port <&"${SERVER[0]}"
  local url="http://127.0.0.1:$port$path"
  local scope="${url%/*}/"
  local start run
  local wisp_times=() wget_times=()
  # Each tool starts alike: the server answering already, and nothing left for the disk from
  # the runs before (a tool that syncs would pay for another's files).
  wget -q -O /dev/null "http://127.0.0.1:$port/robots.txt" || true
  for ((run = 1; run <= runs; run++)); do
    mkdir -p "$work/library/Bench$run"
    sync
    start=$(now)
    build/native/wisp collect "$url" --follow --static --root "$work/library" --book "Bench$run" \
      --folder "$name" --parents --quiet --transfers "$transfers" ${WISP_OPTIONS:-}
    wisp_times+=("$(since "$start")")
    sync
    start=$(now)
    (cd "$work" && wget -q --recursive --no-parent --page-requisites --convert-links \
      --adjust-extension -P "wget-$name-$run" "$url") || true # wget exits 8 for a page outside the scope
    wget_times+=("$(since "$start")")
  done
  local wisp_seconds wget_seconds
  wisp_seconds=$(median "${wisp_times[@]}")
  wget_seconds=$(median "${wget_times[@]}")
  eval "exec ${SERVER[1]}>&-"
  wait "$SERVER_PID" 2>/dev/null || true

  local wisp_pages wisp_working wisp_links wisp_unserved wisp_bytes wisp_blocks
  local wget_pages wget_working wget_links wget_unserved wget_bytes wget_blocks
  read -r wisp_pages wisp_working wisp_links wisp_unserved wisp_bytes wisp_blocks \
    < <(measure "$work/library/Bench1/$name" .htm "$scope" "$folder")
  read -r wget_pages wget_working wget_links wget_unserved wget_bytes wget_blocks \
    < <(measure "$work/wget-$name-1" .html "$scope" "$folder")
  printf '%s: %d ms per request; wisp with --transfers %d; wall time the median of %d runs\n' \
    "$name" "$latency_ms" "$transfers" "$runs"
  printf '%-5s %6s %18s %12s %9s %12s %12s\n' tool pages "links offline" "site-broken" "wall s" \
    "disk bytes" "disk blocks"
  row() {
    printf '%-5s %6d %11d/%-6d %12d %9.2f %12d %12d\n' "$@"
  }
  row wisp "$wisp_pages" "$wisp_working" "$wisp_links" "$wisp_unserved" "$wisp_seconds" \
    "$wisp_bytes" "$wisp_blocks"
  row wget "$wget_pages" "$wget_working" "$wget_links" "$wget_unserved" "$wget_seconds" \
    "$wget_bytes" "$wget_blocks"
  printf 'runs, wall s: wisp %s; wget %s\n' "${wisp_times[*]}" "${wget_times[*]}"
  printf 'ratio wisp/wget: time %.3f (target at most 0.15), disk %.3f in bytes, %.3f in blocks (target at most 1)\n' \
    "$(awk -v a="$wisp_seconds" -v b="$wget_seconds" 'BEGIN { print a / b }')" \
    "$(awk -v a="$wisp_bytes" -v b="$wget_bytes" 'BEGIN { print a / b }')" \
    "$(awk -v a="$wisp_blocks" -v b="$wget_blocks" 'BEGIN { print a / b }')"
}

compare Manual "$work/site" /manual/index.html
# A real manual: Sphinx's own, from Debian's sphinx-doc, when installed (REAL_MANUAL=0 skips it).
real=/usr/share/doc/sphinx-doc/html
if [[ ${REAL_MANUAL:-1} != 0 && -f $real/index.html ]]; then
  compare Sphinx "$real" /index.html
fi
