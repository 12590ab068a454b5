#!/usr/bin/env bash
# Saves real documentation pages from Debian's packages (seven generators) with wisp and with
# wget, opens live and saved copies in headless Chromium with the network cut, and prints per
# page how many of the live page's subresources each saved copy loads from disk.
# Screenshots of every copy go to build/fidelity. Extra arguments for `wisp collect` can be
# given as WISP_COLLECT_ARGS (WISP_COLLECT_ARGS=--static measures the reader of the page source).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(wget chromium python3 python3.11-doc sphinx-doc libjs-sphinxdoc doxygen-doc libcommons-lang3-java-doc
  libghc-split-doc libglib2.0-doc valgrind libjs-mathjax)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
scripts/build.sh native >/dev/null

exec python3 bench/fidelity.py --wisp build/native/wisp --server build/native/wisp-example-server \
  --out build/fidelity --latency-ms "${LATENCY_MS:-20}" --wisp-args="${WISP_COLLECT_ARGS:-}"
