#!/bin/sh
# Runs a cross-built Windows program under Wine: CTest's emulator for the win64 build.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build's private Wine prefix; it is made on first use when the test script
# has not made it already. Without a display the program runs inside a private Xvfb.
set -eu
prefix=$(realpath -m "$1")  # Wine wants an absolute prefix
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    [ -f "$prefix/system.reg" ] || wine wineboot --init >/dev/null 2>&1
    wineserver --wait
  ) 9>"$prefix.lock"
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a wine "$@"
fi
exec wine "$@"
