#!/usr/bin/env bash
# Runs a winelib program (foo.exe or foo.exe.so) in the shared wine environment
# named by TARVEL_WINE_STATE (see wine-env.sh).
set -euo pipefail
prog=${1:?usage: wine-run.sh PROGRAM [ARGS...]}
shift
state=${TARVEL_WINE_STATE:?TARVEL_WINE_STATE names the wine environment}
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
# Wine's own channels stay quiet but for its memory errors, which name a failed start.
export WINEDEBUG=${WINEDEBUG:--all,err+virtual}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -s "$state/display" ]; then
  export DISPLAY=":$(tr -d '\n' <"$state/display")"
fi
case "$prog" in
  *.so) ;;
  *) prog="$prog.so" ;;
esac
# Without its preloader (package wine64-preloader, which install-deps.sh installs) wine
# stops now and then (about one start in a thousand) with "failed to map the shared
# user data": the address-space layout that start drew took the page wine must
# reserve. Should a start still be refused that way, nothing of the program has run,
# so it is started again; any other failure is the program's own and is passed on.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2 3; do
  # The program's standard error goes on to ours and into the file; its output is
  # passed straight through.
  set +e
  { /usr/lib/wine/wine64 "$prog" "$@" 2>&1 1>&3 3>&- | tee "$errors" 1>&2; } 3>&1
  rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" -eq 0 ] && exit 0
  grep -q "failed to map the shared user data" "$errors" || exit "$rc"
  echo "wine-run.sh: wine could not start (attempt $attempt of 3)" >&2
done
exit "$rc"
