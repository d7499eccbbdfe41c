#!/usr/bin/env bash
# Runs a winelib program (foo.exe or foo.exe.so) in the shared wine environment
# named by TARVEL_WINE_STATE (see wine-env.sh).
set -euo pipefail
prog=${1:?usage: wine-run.sh PROGRAM [ARGS...]}
shift
state=${TARVEL_WINE_STATE:?TARVEL_WINE_STATE names the wine environment}
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -s "$state/display" ]; then
  export DISPLAY=":$(tr -d '\n' <"$state/display")"
fi
case "$prog" in
  *.so) ;;
  *) prog="$prog.so" ;;
esac
exec /usr/lib/wine/wine64 "$prog" "$@"
