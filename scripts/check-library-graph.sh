#!/usr/bin/env bash
# Fails when the libraries of a tier use each other in a cycle.
#   check-library-graph.sh EDGES_FILE...
# Each file holds "user used" pairs, one a line (written by the configure step).
# A cycle means two libraries can no longer be built, tested or understood one
# without the other; the layers of the tree only point down.
set -uo pipefail
status=0
for edges in "$@"; do
  if [ ! -f "$edges" ]; then
    echo "no library graph at $edges (configure the tree first)" >&2
    status=1
    continue
  fi
  if ! errors=$(tsort "$edges" 2>&1 >/dev/null); then
    echo "library cycle in $edges:" >&2
    # tsort names the libraries of each loop after its "input contains a loop" line.
    printf '%s\n' "$errors" | sed 's/^tsort: /  /' >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "library graph: no cycle in $# tier graph(s)"
exit "$status"
