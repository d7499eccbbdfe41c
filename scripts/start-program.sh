#!/usr/bin/env bash
# Starts the built program in the user's own wine environment (scripts/run.sh builds it
# first, then comes here):
#   start-program.sh BUILD_DIR [ARGS...]
# The arguments go to the program; a file may be named by its Linux path (absolute,
# relative or starting with ~) or by its Windows path.
#
# The user's state lives outside the build folder, so a clean rebuild or a fresh clone
# keeps it:
# - the wine prefix, with the registry that holds every setting, the schedule, the
#   recent files and the toolbars' customizations: $XDG_DATA_HOME/tarvel/prefix
#   (~/.local/share/tarvel/prefix when XDG_DATA_HOME is not set);
# - the recordings: the first start stores the output folder "Tarvel" in the user's
#   music folder (xdg-user-dir MUSIC, else ~/Music), unless the settings name one.
# A prefix that an earlier version kept in the build folder (BUILD_DIR/wine-program)
# moves there, and the recordings of that version's output folder (BUILD_DIR/win/app/
# Output) move to the music folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: start-program.sh BUILD_DIR [ARGS...]}" && pwd)
shift
WINE_DIR=/usr/lib/wine
program="$build/win/app/Tarvel.exe.so"
[ -f "$program" ] || { echo "start-program.sh: $program is missing (scripts/run.sh builds it)" >&2; exit 1; }

data=${XDG_DATA_HOME:-}
case "$data" in
  /*) ;;
  *) data="$HOME/.local/share" ;;  # a relative XDG_DATA_HOME is to be ignored
esac
state="$data/tarvel"
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}

music_folder() {
  local music=""
  if command -v xdg-user-dir >/dev/null 2>&1; then music=$(xdg-user-dir MUSIC 2>/dev/null || true); fi
  # Without a music folder of its own the user's folders name the home folder itself.
  if [ -z "$music" ] || [ "${music%/}" = "${HOME%/}" ]; then music="$HOME/Music"; fi
  printf '%s/Tarvel' "${music%/}"
}

carry_over_build_prefix() {
  local old="$build/wine-program"
  [ ! -e "$WINEPREFIX" ] && [ -f "$old/prefix/.tarvel-ready" ] || return 0
  echo "Moving Tarvel's settings from $old to $state" >&2
  # A copy still running in the old prefix ends first.
  WINEPREFIX="$old/prefix" "$WINE_DIR/wineserver" -w >/dev/null 2>&1 || true
  mkdir -p "$state"
  mv "$old/prefix" "$WINEPREFIX"
  rm -rf "$old"
  local output="$build/win/app/Output"
  if [ -d "$output" ] && [ -n "$(ls -A "$output")" ]; then
    local music
    music=$(music_folder)
    mkdir -p "$music"
    echo "Moving the recordings of $output to $music" >&2
    # A file of the same name already there is never replaced.
    mv -n "$output"/* "$music"/ || true
  fi
}

# On the first start, the output folder, as the Windows path the program's folder
# dialog would show (wine's drive Z: is the Linux root).
store_output_folder() {
  local marker="$state/output-folder-stored"
  [ -f "$marker" ] && return 0
  local key='HKCU\Software\Tarvel\FileOutputOptions'
  if ! "$WINE_DIR/wine64" reg query "$key" /v strAutoNameFolder >/dev/null 2>&1 </dev/null; then
    local music
    music=$(music_folder)
    mkdir -p "$music"
    "$WINE_DIR/wine64" reg add "$key" /v strAutoNameFolder /t REG_SZ /d "Z:${music//\//\\}\\" /f \
      >/dev/null 2>&1 </dev/null
  fi
  touch "$marker"
}

carry_over_build_prefix
bash "$root/scripts/wine-env.sh" prefix "$state"
store_output_folder

args=()
for arg in "$@"; do
  case "$arg" in
    "~" | "~/"*) arg="$HOME${arg#\~}" ;;  # a ~ the shell left alone (inside quotes)
  esac
  args+=("$arg")
done
exec "$WINE_DIR/wine64" "$program" "${args[@]}"
