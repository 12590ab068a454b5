#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every suite:
# natively, natively under the sanitizers, and the win64 and win32 programs under 64- and
# 32-bit Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh native native-sanitize win64 win32

passed=0
failed=0
# Runs one CTest preset and adds its counts to the totals, going on after a failure so that
# one run reports every suite.
run_suite() {
  local preset=$1 log
  log=$(mktemp)
  echo "== Testing $preset"
  ctest --preset "$preset" 2>&1 | tee "$log" || true
  local summary
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  rm -f "$log"
  if [[ -z "$summary" ]]; then
    echo "== $preset: no test summary"
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

run_suite native
run_suite native-sanitize

# The benchmarks are run by hand for their figures; here each runs briefly, to show it works.
echo "== Benchmarks (a short run each)"
for bench in build/native/bench/*_bench; do
  short_run=(--benchmark_min_time=0.01)
  # The search benchmark is a program of its own: a small library is its short run.
  [[ $bench == */search_bench ]] && short_run=(200)
  if "$bench" "${short_run[@]}" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    echo "== $bench failed"
    failed=$((failed + 1))
  fi
done

# Both QXWisp.DLL builds export the four server functions by name.
check_exports() {
  local objdump=$1 dll=$2 name
  echo "== Exports of $dll"
  local table
  table=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for name in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
    if grep -qw "$name" <<<"$table"; then
      passed=$((passed + 1))
    else
      echo "missing export $name in $dll"
      failed=$((failed + 1))
    fi
  done
}
check_exports x86_64-w64-mingw32-objdump build/win64/src/QXWisp.DLL
check_exports i686-w64-mingw32-objdump build/win32/src/QXWisp.DLL

# One display for all Wine tests, and one running wineserver for each prefix; each prefix is
# made once here.
wine_prefixes=()
xvfb_pid=""
cleanup() {
  local prefix
  for prefix in "${wine_prefixes[@]}"; do
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  done
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [[ -z "${DISPLAY:-}" ]]; then
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  sleep 1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the preset's prefix (ARCH: win64 or win32) when missing, starts its wineserver and
# Wine's background services, then runs the preset's suites in it.
run_wine_suite() {
  local preset=$1 arch=$2 loader
  # A machine whose kernel cannot run 32-bit programs cannot run the i686 suite at all: it
  # is said, and counted neither passed nor failed.
  if ! loader=$(cmake/wine-loader.sh "$arch"); then
    echo "== $preset: not run here"
    return
  fi
  local prefix="$PWD/build/$preset/wineprefix"
  wine_prefixes+=("$prefix")
  export WINEPREFIX="$prefix"
  if [[ $loader == wine ]]; then
    unset WINELOADER
  else
    export WINELOADER="$loader"
  fi
  if [[ ! -f "$prefix/system.reg" ]]; then
    echo "== Initialising the $arch Wine prefix"
    mkdir -p "$prefix"
    WINEARCH=$arch "$loader" wineboot --init >/dev/null 2>&1 || true
    wineserver --wait || true
  fi
  wineserver -p 2>/dev/null || true
  # Start Wine's background services now, with their output going nowhere: started from
  # inside a test they would hold CTest's output pipe open and CTest would wait for them.
  "$loader" wineboot >/dev/null 2>&1 </dev/null || true
  run_suite "$preset"
}

run_wine_suite win64 win64
run_wine_suite win32 win32

echo
echo "$passed passed, $failed failed"
((failed == 0))
