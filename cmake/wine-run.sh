#!/bin/sh
# Runs a cross-built Windows program under Wine: CTest's emulator for the win64 and win32 builds.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build's private Wine prefix; it is made on first use when the test script
# has not made it already: a 32-bit one (WINEARCH=win32) for an i686 program, so that the
# program sees the registry and the system folders a 32-bit Windows gives it. Without a
# display the program runs inside a private Xvfb.
set -eu
prefix=$(realpath -m "$1")  # Wine wants an absolute prefix
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# The machine field of a PE file's header: 014c for i386, 8664 for x86-64.
pe_machine() {
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$header" ] && od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

arch=win64
if [ -f "$1" ] && [ "$(pe_machine "$1")" = 014c ]; then
  arch=win32
fi
loader=$("$(dirname "$0")/wine-loader.sh" "$arch")
[ "$loader" = wine ] || export WINELOADER="$loader"

if [ ! -f "$prefix/system.reg" ]; then
  if [ -z "${WINEARCH:-}" ] && [ "$arch" = win32 ]; then
    export WINEARCH=win32
  fi
  mkdir -p "$prefix"
  (
    flock 9
    [ -f "$prefix/system.reg" ] || "$loader" wineboot --init >/dev/null 2>&1
    wineserver --wait
  ) 9>"$prefix.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$loader" "$@"
fi
exec "$loader" "$@"
