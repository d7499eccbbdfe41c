#!/usr/bin/env bash
# Runs a winelib program (foo, foo.exe or foo.exe.so) in the shared wine environment
# named by TARVEL_WINE_STATE (see wine-env.sh).
set -euo pipefail
prog=${1:?usage: wine-run.sh PROGRAM [ARGS...]}
shift
state=${TARVEL_WINE_STATE:?TARVEL_WINE_STATE names the wine environment}
# An environment the tests have not made yet (a fresh build): its prefix first.
if [ ! -f "$state/prefix/.tarvel-ready" ]; then
  bash "$(dirname "$0")/wine-env.sh" prefix "$state"
fi
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -s "$state/display" ]; then
  export DISPLAY=":$(tr -d '\n' <"$state/display")"
fi
# A program may be named as built (foo.exe), by its code (foo.exe.so) or by its bare
# name (foo).
case "$prog" in
  *.so) ;;
  *.exe) prog="$prog.so" ;;
  *) prog="$prog.exe.so" ;;
esac
exec /usr/lib/wine/wine64 "$prog" "$@"
