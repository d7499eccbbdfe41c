#!/usr/bin/env bash
# The shared wine environment of a test run or of the program:
#   wine-env.sh start STATE_DIR   prefix (made once), virtual display, wineserver, desktop
#   wine-env.sh stop STATE_DIR    stops everything start started
#   wine-env.sh prefix STATE_DIR  only makes the prefix (for the program: no virtual
#                                 desktop, the user's own window manager draws)
# Everything started here is detached from the caller's pipes, so CTest never waits
# on a pipe held by wine's background processes.
set -euo pipefail
WINE_DIR=/usr/lib/wine
cmd=${1:?usage: wine-env.sh start|stop|prefix STATE_DIR}
state=${2:?usage: wine-env.sh start|stop|prefix STATE_DIR}
mkdir -p "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Without its preloader, wine64 reserves the address ranges it needs at fixed addresses
# (the shared user data page at 0x7ffe0000 among them) only after the kernel has placed
# the program's heap, which lands anywhere in a gigabyte above wine64 and so covers that
# page about once in 3,000 starts: the program then exits with status 1 before it runs
# anything, silently under WINEDEBUG=-all. The preloader reserves them first.
require_preloader() {
  [ -x "$WINE_DIR/wine64-preloader" ] && return 0
  echo "wine-env.sh: $WINE_DIR/wine64-preloader is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
}

# Started in the foreground, wineserver returns once it holds the prefix's lock and
# listens (it detaches itself). Started in the background it raced the desktop's wine64,
# which, finding no server, started one of its own that quits with the last program;
# the persistent one then found a server running and gave up.
start_server() {
  "$WINE_DIR/wineserver" -p >"$state/wineserver.log" 2>&1 </dev/null && return 0
  # A server of this prefix is still running (a run that was never stopped): it may not
  # be persistent, so replace it.
  "$WINE_DIR/wineserver" -k >/dev/null 2>&1 || true
  "$WINE_DIR/wineserver" -w >/dev/null 2>&1 || true
  "$WINE_DIR/wineserver" -p >>"$state/wineserver.log" 2>&1 </dev/null
}

# This wine does not look in /usr/share/wine/fonts: without a copy of those fonts in
# the prefix the Marlett symbol font is missing, and caption buttons, menu check marks
# and spin arrows show as letters. A prefix made before lacks them too, so the copy
# runs on every start and adds only what is missing.
install_fonts() {
  local source=/usr/share/wine/fonts target="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d "$source" ] || { echo "wine-env.sh: $source is missing (scripts/install-deps.sh installs fonts-wine)" >&2; exit 1; }
  mkdir -p "$target"
  local font
  for font in "$source"/*.ttf; do
    [ -f "$target/$(basename "$font")" ] || cp "$font" "$target/"
  done
}

make_prefix() {
  local desktop=$1
  if [ -f "$WINEPREFIX/.tarvel-ready" ]; then
    install_fonts
    return 0
  fi
  rm -rf "$WINEPREFIX"
  "$WINE_DIR/wine64" wineboot -i >"$state/wineboot.log" 2>&1 </dev/null
  # A crashing program must end, not wait on wine's crash dialog.
  "$WINE_DIR/wine64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$state/wineboot.log" 2>&1 </dev/null
  if [ "$desktop" = yes ]; then
  # Every program of the prefix runs in one virtual desktop: wine then draws the
  # captions and windows close at once (no window manager needed).
  "$WINE_DIR/wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f \
    >>"$state/wineboot.log" 2>&1 </dev/null
  "$WINE_DIR/wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f \
    >>"$state/wineboot.log" 2>&1 </dev/null
  fi
  "$WINE_DIR/wineserver" -w
  install_fonts
  touch "$WINEPREFIX/.tarvel-ready"
}

start_display() {
  # Reuse a display that is still alive.
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then return 0; fi
  rm -f "$state/display"
  # Xvfb writes the display number it chose to the file descriptor we give it.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$state/display" >"$state/xvfb.log" 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 1 100); do
    [ -s "$state/display" ] && break
    sleep 0.1
  done
  [ -s "$state/display" ] || { echo "Xvfb did not start (see $state/xvfb.log)" >&2; exit 1; }
}

case "$cmd" in
  prefix)
    require_preloader
    make_prefix no
    ;;
  start)
    require_preloader
    make_prefix yes
    start_display
    export DISPLAY=":$(tr -d '\n' <"$state/display")"
    start_server
    # A virtual desktop gives wine-drawn captions and fast window closes.
    setsid "$WINE_DIR/wine64" explorer.exe /desktop=Default,1024x768 \
      >"$state/explorer.log" 2>&1 </dev/null &
    # Wait until the desktop answers, so the first test does not pay for it.
    "$WINE_DIR/wine64" cmd /c exit >/dev/null 2>&1 </dev/null || true
    echo "wine environment ready on DISPLAY=$DISPLAY"
    ;;
  stop)
    "$WINE_DIR/wineserver" -k >/dev/null 2>&1 || true
    "$WINE_DIR/wineserver" -w >/dev/null 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
      rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
  *)
    echo "usage: wine-env.sh start|stop|prefix STATE_DIR" >&2
    exit 2
    ;;
esac
