#!/usr/bin/env bash
# Builds Tarvel and runs every test of both tiers (native and under wine).
# Extra arguments go to ctest (for example -R Envelope).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEL_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
# Wine tests take turns between two displays and wineservers (set up and torn down by CTest
# fixtures); native tests run in parallel.
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --timeout 600 "$@"
