#!/bin/sh
# Prints the Wine loader to run ARCH's programs with (ARCH: win64 or win32): `wine`, or the
# 64-bit loader's path, which WINELOADER must then name too.
# Usage: wine-loader.sh ARCH
# Debian's `wine` starts its i386 loader first. A kernel built without 32-bit support refuses
# that loader ("Exec format error"): a 64-bit program is then started with the 64-bit loader
# itself, and a 32-bit one cannot run at all (exit 1, the reason on standard error).
set -eu
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
if [ ! -x "$wine32" ] || "$wine32" --version >/dev/null 2>&1; then
  echo wine
elif [ "$1" = win64 ] && [ -x "$wine64" ]; then
  echo "$wine64"
else
  echo "this machine's kernel cannot run 32-bit programs ($wine32: exec format error)" >&2
  exit 1
fi
