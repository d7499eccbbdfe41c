#!/usr/bin/env bash
# Counts the wine server requests a window benchmark makes per round, by request name:
#   TARVEL_WINE_STATE=build/wine scripts/count-requests.sh BENCH FEW MANY [ARGS...]
# runs BENCH (menu_bench, docking_bench: their first argument is the number of rounds)
# once with FEW and once with MANY rounds and prints (MANY - FEW) / (MANY - FEW rounds)
# for each request, so start-up and shutdown cancel out. Each run gets a server of
# its own that writes its trace (WINEDEBUG=+server) next to the run's output, so
# the wine environment's persistent server is stopped first: run it on an environment
# nobody else uses at the moment (its display stays; wine-env.sh start brings the
# server back). Counts are exact up to requests that depend on timing (messages,
# waits), which show as fractions.
set -euo pipefail
bench=${1:?usage: count-requests.sh BENCH FEW MANY [ARGS...]}
few=${2:?usage: count-requests.sh BENCH FEW MANY [ARGS...]}
many=${3:?usage: count-requests.sh BENCH FEW MANY [ARGS...]}
shift 3
state=${TARVEL_WINE_STATE:?TARVEL_WINE_STATE names the wine environment}
here=$(cd "$(dirname "$0")" && pwd)
# An environment the tests have not made yet (a fresh build): its prefix first.
[ -f "$state/prefix/.tarvel-ready" ] || bash "$here/wine-env.sh" prefix "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count_run() {
  local rounds=$1
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w
  # The server started by this run inherits the run's stderr: the trace lands there.
  WINEDEBUG=+server "$here/wine-run.sh" "$bench" "$rounds" "$@" >/dev/null 2>>"$work/trace.$rounds" || true
  /usr/lib/wine/wineserver -w
  grep -oE '^[0-9a-f]{4}: [a-z_]+\( ' "$work/trace.$rounds" | sed -E 's/^[0-9a-f]+: //; s/\( $//' |
    sort | uniq -c | awk '{print $2, $1}' | sort >"$work/counts.$rounds"
}

count_run "$few" "$@"
count_run "$many" "$@"
join -a1 -a2 -e0 -o 0,1.2,2.2 "$work/counts.$few" "$work/counts.$many" |
  awk -v d=$((many - few)) '{ c = ($3 - $2) / d; total += c; if (c > 0.05 || c < -0.05) printf "%-28s %8.2f\n", $1, c }
       END { printf "%-28s %8.2f\n", "total", total }' | sort -k2 -n -r
