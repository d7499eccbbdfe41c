#!/usr/bin/env bash
# The run command keeps the user's state outside the build folder: an earlier version's
# prefix and recordings in the build folder move to the user's data and music folders;
# a setting and a recording are still there after the build folder is removed and made
# again; a file named with ~, blanks and letters outside ASCII opens. It runs
# scripts/start-program.sh (what scripts/run.sh runs once the program is built) on a
# stand-in build folder made of the real program's files, with HOME and XDG_DATA_HOME
# in a folder of its own, on a display of its own.
#   start_program_test.sh SOURCE_DIR PROGRAM_FOLDER
set -euo pipefail
source_dir=$1
program_folder=$2
WINE_DIR=/usr/lib/wine

work=$(mktemp -d /tmp/tarvel-start-XXXXXX)
xvfb=""
cleanup() {
  for prefix in "$work/build/wine-program/prefix" "$work/data home/tarvel/prefix"; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix "$WINE_DIR/wineserver" -k >/dev/null 2>&1 || true
  done
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$work/data home"
unset WINEPREFIX
music="$HOME/Müsik ñ"
mkdir -p "$XDG_CONFIG_HOME"
echo 'XDG_MUSIC_DIR="$HOME/Müsik ñ"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
state="$XDG_DATA_HOME/tarvel"
prefix="$state/prefix"

setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' <"$work/display")"

# The build folder as the build makes it, as far as the program needs it.
make_build() {
  mkdir -p "$work/build/win/app"
  local file
  for file in "$program_folder"/*; do
    [ "$(basename "$file")" = Output ] || ln -s "$file" "$work/build/win/app/"
  done
}

# Waits for the program's window with this title, then ends the program.
expect_window() {
  local title=$1 log=$2
  for _ in $(seq 1 600); do
    if xwininfo -root -tree 2>/dev/null | grep -F -q "\"$title\""; then
      WINEPREFIX=$prefix "$WINE_DIR/wineserver" -k >/dev/null 2>&1 || true
      WINEPREFIX=$prefix "$WINE_DIR/wineserver" -w >/dev/null 2>&1 || true
      return 0
    fi
    sleep 0.2
  done
  grep -v -e '^ALSA lib' -e '^Jack' -e '^Cannot connect' -e '^jack server' "$log" >&2 || true
  xwininfo -root -tree 2>/dev/null | grep -i -e tarvel -e '#32770' >&2 || true
  fail "no window \"$title\""
}

# A registry value of the prefix's user part, through wine's own registry tool (which
# writes in the console's code page).
registry_value() {
  WINEPREFIX=$prefix "$WINE_DIR/wine64" reg query "$1" /v "$2" 2>/dev/null </dev/null | iconv -f CP437 -t UTF-8 |
    tr -d '\r' | awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }'
}

# An earlier version kept its prefix in the build folder and recorded into the program's
# own "Output" folder there.
make_build
bash "$source_dir/scripts/wine-env.sh" prefix "$work/build/wine-program"
WINEPREFIX="$work/build/wine-program/prefix" "$WINE_DIR/wine64" reg add 'HKCU\Software\Tarvel\AdvanceRecordSetting' \
  /v ActiveRecordingMode /t REG_DWORD /d 1 /f >/dev/null 2>&1 </dev/null
WINEPREFIX="$work/build/wine-program/prefix" "$WINE_DIR/wineserver" -w
mkdir -p "$work/build/win/app/Output"
sox -n -r 44100 -c 2 "$work/build/win/app/Output/TVLRec00001.wav" synth 1 sine 440

# First start: the prefix and the recording move; the output folder is stored.
bash "$source_dir/scripts/start-program.sh" "$work/build" "~/Müsik ñ/Tarvel/TVLRec00001.wav" \
  >"$work/first.log" 2>&1 &
started=$!
expect_window "TVLRec00001.wav - Tarvel 2.93" "$work/first.log"
wait "$started" || true
[ -f "$prefix/.tarvel-ready" ] || fail "no prefix in $prefix"
[ ! -e "$work/build/wine-program" ] || fail "the old prefix is still in the build folder"
[ -f "$music/Tarvel/TVLRec00001.wav" ] || fail "the recording did not move to $music/Tarvel"
[ "$(registry_value 'HKCU\Software\Tarvel\AdvanceRecordSetting' ActiveRecordingMode)" = 0x1 ] ||
  fail "the setting did not come along"

# The build folder goes and comes back; the settings and recordings stay.
rm -rf "$work/build"
make_build
bash "$source_dir/scripts/start-program.sh" "$work/build" "$music/Tarvel/TVLRec00001.wav" >"$work/second.log" 2>&1 &
started=$!
expect_window "TVLRec00001.wav - Tarvel 2.93" "$work/second.log"
wait "$started" || true
[ "$(registry_value 'HKCU\Software\Tarvel\AdvanceRecordSetting' ActiveRecordingMode)" = 0x1 ] ||
  fail "the setting is gone"
[ "$(registry_value 'HKCU\Software\Tarvel\FileOutputOptions' strAutoNameFolder)" = "Z:${music//\//\\}\\Tarvel\\" ] ||
  fail "the output folder is not the music folder's: $(registry_value 'HKCU\Software\Tarvel\FileOutputOptions' strAutoNameFolder)"
[ -f "$music/Tarvel/TVLRec00001.wav" ] || fail "the recording is gone"
echo "the user's state stays outside the build folder"
