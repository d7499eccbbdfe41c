#!/usr/bin/env bash
# Installs the Debian packages Tarvel needs to build, run and test.
# Idempotent: prints nothing and touches nothing when every package is present.
set -euo pipefail

packages=(
  # toolchain and tests
  cmake g++ pkg-config make ccache libgtest-dev libgmock-dev googletest clang-format git
  # winelib (wine: the loader a winelib program's launcher starts, also when the
  # program starts a copy of itself)
  wine wine64 wine64-preloader wine64-tools libwine-dev fonts-wine
  # virtual display and screenshots; the window tests' mouse and keys at the display
  xvfb x11-utils imagemagick libxtst6
  # audio libraries
  libsndfile1-dev libvorbis-dev libogg-dev libmad0-dev portaudio19-dev
  libsamplerate0-dev libsoundtouch-dev libmp3lame-dev libasound2-dev
  # audio test rig, and outside tools the tests and benchmarks compare against
  pulseaudio pulseaudio-utils libasound2-plugins sox libsox-fmt-mp3 lame mpg123 vorbis-tools
  alsa-utils soundstretch samplerate-programs
  # the help compiler (chmcmd)
  fp-utils
  # the desktop's side of the program: the web browser that shows the help where wine
  # draws no HTML, and the user's music folder for the recordings
  xdg-utils xdg-user-dirs
  # fuzzing the importers
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
