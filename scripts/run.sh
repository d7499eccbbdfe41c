#!/usr/bin/env bash
# Builds Tarvel if needed and starts it (scripts/start-program.sh says where the user's
# settings and recordings live). Arguments are passed to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEL_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  cat >&2 <<MSG
Tarvel needs a display, and none is available (DISPLAY is '${DISPLAY:-}').
Run it on a virtual display instead, for example:
  Xvfb :5 -screen 0 1280x1024x24 &  DISPLAY=:5 $0
MSG
  exit 1
fi

exec bash "$root/scripts/start-program.sh" "$build" "$@"
