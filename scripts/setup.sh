#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 mingw-w64-tools libwine-dev
  wine wine64 wine32:i386 xvfb xauth
  libcurl4-openssl-dev libgumbo-dev libcpp-httplib-dev liburiparser-dev
  fp-utils libchm-dev libchm-bin
  libzip-dev epubcheck
  libqpdf-dev qpdf poppler-utils
  xchm foliate
  python3
  chromium chromium-headless-shell nlohmann-json3-dev
  dpkg-dev
)

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
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# The i686 DLL's tests run under 32-bit Wine, whose packages are i386 ones.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
