#!/usr/bin/env bash
# Fuzzes the importers: builds one libFuzzer target per import format (PCM
# through libsndfile, Ogg Vorbis, MPEG audio) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, replays the saved inputs that once crashed, and
# runs each target for a few seconds over a seed corpus of small files made
# with sox, lame and oggenc.
#
#   scripts/fuzz-importers.sh [--build-dir DIR] [--seconds N] [--target pcm|ogg|mp3]...
#
# Exit 0 when nothing was found, 1 on a finding (the input is kept under
# DIR/artifacts and printed), 77 when clang with libFuzzer is not available.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz-importers
seconds=5
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --build-dir) build=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --target) targets+=("$2"); shift 2 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(pcm ogg mp3)

# clang with libFuzzer, or skip.
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "clang is not installed: importer fuzzing skipped"
  exit 77
fi
mkdir -p "$build"
probe=$build/probe.cpp
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$probe"
if ! clang++ -fsanitize=fuzzer,address "$probe" -o "$build/probe" >/dev/null 2>&1; then
  echo "clang cannot build libFuzzer targets here: importer fuzzing skipped"
  exit 77
fi

# Build (incremental: a separate CMake tree over tests/fuzz).
if [ ! -f "$build/cmake/CMakeCache.txt" ]; then
  cmake -S "$root/tests/fuzz" -B "$build/cmake" -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
fi
if ! cmake --build "$build/cmake" -j"$(nproc)" >"$build/build.log" 2>&1; then
  tail -40 "$build/build.log"
  exit 1
fi

# Seeds: small files of every kind, made once.
seeds=$build/seeds
if [ ! -f "$seeds/.made" ]; then
  rm -rf "$seeds"
  mkdir -p "$seeds/pcm" "$seeds/ogg" "$seeds/mp3" "$build/seedwork"
  w=$build/seedwork
  if command -v sox >/dev/null 2>&1; then
    tone="synth 0.15 sine 440 sine 660 gain -6"
    sox -D -n -r 8000 -c 1 -b 8 "$seeds/pcm/u8.wav" $tone
    sox -D -n -r 22050 -c 2 -b 16 "$seeds/pcm/s16.wav" $tone
    sox -D -n -r 44100 -c 1 -b 24 "$seeds/pcm/s24.wav" synth 0.05 sine 440
    sox -D -n -r 16000 -c 4 -b 32 "$seeds/pcm/s32-4ch.wav" synth 0.05 sine 440
    sox -D -n -r 11025 -c 2 -e floating-point -b 32 "$seeds/pcm/f32.wav" $tone
    sox -D -n -r 22050 -c 2 -b 16 "$seeds/pcm/s16.aiff" $tone
    sox -D -n -r 8000 -c 1 -b 16 "$seeds/pcm/s16.au" $tone
    sox -D -n -r 22050 -c 2 -b 16 "$seeds/pcm/s16.flac" $tone
    sox -D -n -r 8000 -c 1 -b 16 "$seeds/pcm/s16.w64" $tone
    sox -D -n -r 8000 -c 1 -b 16 "$seeds/pcm/s16.voc" $tone
    sox -D -n -r 8000 -c 1 -b 16 "$seeds/pcm/s16.ircam" $tone || true
    sox -D -n -r 22050 -c 2 -b 16 "$w/stereo.wav" $tone
    sox -D -n -r 8000 -c 1 -b 16 "$w/mono.wav" synth 0.3 sine 300
    if command -v oggenc >/dev/null 2>&1; then
      oggenc -Q -q 0 "$w/stereo.wav" -o "$seeds/ogg/stereo.ogg"
      oggenc -Q -q 0 "$w/mono.wav" -o "$seeds/ogg/mono.ogg"
      cat "$seeds/ogg/mono.ogg" "$seeds/ogg/stereo.ogg" >"$seeds/ogg/chained.ogg"
      cp "$seeds/ogg/mono.ogg" "$seeds/pcm/vorbis.ogg"
    fi
    if command -v lame >/dev/null 2>&1; then
      lame --quiet -b 64 "$w/stereo.wav" "$seeds/mp3/stereo.mp3"
      lame --quiet -m m -b 8 "$w/mono.wav" "$seeds/mp3/mono.mp3"
      lame --quiet -m m -b 8 --add-id3v2 --tt Title --ta Artist "$w/mono.wav" "$seeds/mp3/tagged.mp3"
      cp "$seeds/mp3/mono.mp3" "$seeds/pcm/mpeg.mp3"
    fi
    sox -D -n -r 16000 -c 1 -b 16 "$seeds/mp3/layer2.mp2" synth 0.1 sine 440 2>/dev/null || true
  else
    echo "sox is not installed: fuzzing from the saved inputs only"
  fi
  touch "$seeds/.made"
fi

# Run.
export TMPDIR=$build/tmp
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR" "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0}
status=0
for t in "${targets[@]}"; do
  bin=$build/cmake/import_${t}_fuzz
  [ -x "$bin" ] || { echo "no fuzz target $t"; exit 2; }
  log=$build/$t.log
  # The inputs that once crashed must stay harmless.
  saved=$root/tests/fuzz/regressions/$t
  if [ -d "$saved" ] && [ -n "$(ls -A "$saved")" ]; then
    if ! "$bin" -runs=1 "$saved"/* >"$log" 2>&1; then
      echo "import_${t}_fuzz: a saved input fails again"
      tail -60 "$log"
      status=1
      continue
    fi
  fi
  corpus=$build/corpus/$t
  mkdir -p "$corpus" "$seeds/$t"
  if "$bin" -max_total_time="$seconds" -max_len=32768 -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 \
      "$corpus" "$seeds/$t" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    if grep -q 'disabled leak detection' "$log"; then
      # Inputs that left allocations behind without a leak report: libFuzzer then
      # stops checking inputs one by one, and a leak would show only at the end.
      echo "import_${t}_fuzz: per-input leak checks were turned off (log $log)"
      grep -A4 'disabled leak detection' "$log"
      status=1
    else
      echo "import_${t}_fuzz: ${seconds}s, $runs inputs, nothing found"
    fi
  else
    echo "import_${t}_fuzz: FOUND A FAULT (log $log)"
    grep -E 'ERROR|SUMMARY|Test unit written|runtime error' "$log" | head -20
    tail -60 "$log"
    status=1
  fi
done
rm -rf "$TMPDIR"
exit $status
