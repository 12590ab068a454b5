#!/usr/bin/env bash
# Configures and builds the given presets (default: every preset) at -j2.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
((${#presets[@]})) || presets=(native native-sanitize win64 win32)

for preset in "${presets[@]}"; do
  echo "== Building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
