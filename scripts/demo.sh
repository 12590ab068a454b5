#!/usr/bin/env bash
# The demo command. Until the wisp command's demo exists, it installs what is missing and
# builds every deliverable.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh
echo "Built: build/native, build/native-sanitize, build/win64, build/win32"
