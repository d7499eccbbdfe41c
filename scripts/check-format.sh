#!/usr/bin/env bash
# Fails when a C++ source of the tree is not in the layout of .clang-format.
#   check-format.sh SOURCE_ROOT
# Prints the files that differ; `clang-format -i FILE` puts one right.
set -uo pipefail
root=${1:?usage: check-format.sh SOURCE_ROOT}
cd "$root" || exit 1
if ! command -v clang-format >/dev/null 2>&1; then
  echo "clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files '*.h' '*.cpp')
else
  files=$(find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print)
fi
bad=$(printf '%s\n' "$files" | xargs -P"$(nproc)" -n 40 clang-format --dry-run --Werror 2>&1 |
      sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "not in the layout of .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' $bad >&2
  exit 1
fi
echo "layout: $(printf '%s\n' "$files" | wc -l) sources in the layout of .clang-format"
