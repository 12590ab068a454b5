#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
#
#   scripts/setup.sh native   the wisp command: its build, its tests, its package and the demo
#   scripts/setup.sh          everything: also the Windows cross-build, Wine and the fuzz targets
set -euo pipefail

case "${1:-all}" in
  native) what=native ;;
  all) what=all ;;
  *) echo "usage: scripts/setup.sh [native]" >&2; exit 2 ;;
esac

# The native preset's build: the command, its test programs and benchmarks (the README's
# list of the command's packages is this one).
command_build=(
  cmake ninja-build g++ pkg-config
  libcurl4-openssl-dev libgumbo-dev libcpp-httplib-dev liburiparser-dev
  libzip-dev libchm-dev libqpdf-dev nlohmann-json3-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev python3
)
# What the command runs: the help compiler, and the browser that renders pages.
command_run=(fp-utils chromium-headless-shell)
# What the native tests and the demo run besides: the whole browser for the extension's test,
# the compiled file's, the EPUB's and the PDF's checkers, the Debian package's tools.
command_checks=(chromium libchm-bin epubcheck qpdf poppler-utils dpkg-dev file lintian)
# The DLL: mingw-w64 cross compilers, Wine to run its tests, a display for its windows; clang
# for the fuzz targets.
windows=(
  mingw-w64 mingw-w64-tools libwine-dev
  wine wine64 wine32:i386 xvfb xauth
  clang
)
# The readers the README's pictures of built books show.
readers=(xchm foliate)

packages=("${command_build[@]}" "${command_run[@]}" "${command_checks[@]}")
[[ $what == all ]] && packages+=("${windows[@]}" "${readers[@]}")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "scripts/setup.sh: installing packages needs root: run it as root, or install sudo" >&2
    exit 1
  fi
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# The i686 DLL's tests run under 32-bit Wine, whose packages are i386 ones.
if [[ $what == all ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
