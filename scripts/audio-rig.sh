#!/usr/bin/env bash
# The audio test rig: a private PulseAudio daemon with a virtual microphone fed
# by the test and a virtual speaker captured by the test.
#
#   audio-rig.sh start <dir> [--owner PID]
#       Starts the daemon in <dir> (created when missing) and waits until it
#       answers. Writes <dir>/rig.pa, <dir>/asoundrc, <dir>/client.conf and
#       <dir>/env; the daemon logs to <dir>/pulse.log. With --owner, a small
#       watcher stops the daemon when process PID ends (a crashed test then
#       leaves nothing behind). Starting a rig that already runs does nothing.
#   audio-rig.sh stop <dir>
#       SIGTERM to the daemon (SIGKILL after 5 s), waits until it is gone.
#   audio-rig.sh env <dir>
#       Prints the client environment, one KEY=VALUE a line. In a shell:
#       set -a; . <dir>/env; set +a
#   audio-rig.sh status <dir>
#       Exit status 0 when the rig in <dir> runs and answers.
#
# Devices: sink "testspk" (Test_Speaker, 44100 Hz, 2 ch; record its output
# from "testspk.monitor"), sink "micfeed" (1 ch; play or load module-sine into
# it) and source "testmic" (Test_Microphone, the remap of micfeed.monitor).
# ALSA clients (PortAudio) see the pcms testmic, testspk, pulse and default.
set -uo pipefail

die() { echo "audio-rig: $*" >&2; exit 1; }

usage() {
  echo "usage: $0 start <dir> [--owner PID] | stop <dir> | env <dir> | status <dir>" >&2
  exit 2
}

# Absolute path of <dir>; refuses characters that would need quoting in the env
# file or in PulseAudio's module arguments.
absdir() {
  local d=$1
  [ -n "$d" ] || usage
  case $d in /*) ;; *) d="$PWD/$d" ;; esac
  case $d in *[!A-Za-z0-9._/+,@%=-]*) die "unsupported characters in folder name: $d" ;; esac
  printf '%s\n' "${d%/}"
}

# The daemon's pid when it still runs (not a zombie) and is ours, else nothing.
live_pid() {
  local file=$1 pid state
  [ -f "$file" ] || return 1
  pid=$(cat "$file" 2>/dev/null) || return 1
  case $pid in ''|*[!0-9]*) return 1 ;; esac
  [ -r "/proc/$pid/stat" ] || return 1
  state=$(sed 's/^.*) \(.\).*$/\1/' "/proc/$pid/stat" 2>/dev/null) || return 1
  [ "$state" != Z ] && [ -n "$state" ] || return 1
  printf '%s\n' "$pid"
}

client_env() {
  local dir=$1
  echo "PULSE_SERVER=unix:$dir/pulse.sock"
  echo "PULSE_CLIENTCONFIG=$dir/client.conf"
  echo "ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$dir/asoundrc"
  echo "HOME=$dir/home"
  echo "XDG_CONFIG_HOME=$dir/home/.config"
  echo "XDG_RUNTIME_DIR=$dir/runtime"
  echo "PULSE_RUNTIME_PATH=$dir/runtime/pulse"
  echo "PULSE_STATE_PATH=$dir/state"
}

# Runs a command with the client environment of <dir>.
with_env() {
  local dir=$1; shift
  local -a vars
  mapfile -t vars < <(client_env "$dir")
  env "${vars[@]}" "$@"
}

answers() {
  with_env "$1" timeout 2 pactl info >/dev/null 2>&1
}

write_files() {
  local dir=$1
  mkdir -p "$dir/home/.config/pulse" "$dir/runtime/pulse" "$dir/state" || return 1
  chmod 700 "$dir/runtime" "$dir/runtime/pulse"

  cat >"$dir/rig.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/pulse.sock
load-module module-null-sink sink_name=testspk sink_properties=device.description=Test_Speaker rate=44100 channels=2 norewinds=1
load-module module-null-sink sink_name=micfeed sink_properties=device.description=Microphone_Feed rate=44100 channels=1 channel_map=mono norewinds=1
load-module module-remap-source source_name=testmic master=micfeed.monitor source_properties=device.description=Test_Microphone
set-default-sink testspk
set-default-source testmic
EOF

  cat >"$dir/asoundrc" <<'EOF'
pcm.!default { type pulse }
ctl.!default { type pulse }
pcm.testmic { type pulse device "testmic" }
pcm.testspk { type pulse device "testspk" }
EOF

  # Clients never start a daemon of their own (a stopped rig stays stopped).
  echo "autospawn = no" >"$dir/client.conf"
  cp "$dir/client.conf" "$dir/home/.config/pulse/client.conf"

  client_env "$dir" >"$dir/env"
}

start() {
  local dir owner=""
  dir=$(absdir "${1:-}") || exit 1
  shift
  while [ $# -gt 0 ]; do
    case $1 in
      --owner) owner=${2:-}; shift 2 || usage ;;
      *) usage ;;
    esac
  done
  case $owner in *[!0-9]*) die "--owner needs a process id" ;; esac
  command -v pulseaudio >/dev/null && command -v pactl >/dev/null ||
    die "pulseaudio/pactl missing (run scripts/install-deps.sh)"
  # sockaddr_un holds 108 bytes.
  [ ${#dir} -le 90 ] || die "folder path too long for a unix socket: $dir"

  if live_pid "$dir/pulse.pid" >/dev/null && answers "$dir"; then
    return 0
  fi
  mkdir -p "$dir" || die "cannot create $dir"
  write_files "$dir" || die "cannot write the rig files in $dir"
  rm -f "$dir/pulse.sock" "$dir/watcher.pid"

  local -a vars
  mapfile -t vars < <(client_env "$dir")
  # Redirected, detached output: a $(...) around this script must not wait for
  # the daemon, and CTest must not wait for its pipes.
  env "${vars[@]}" pulseaudio -n -F "$dir/rig.pa" --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --no-cpu-limit --log-target="file:$dir/pulse.log" \
    </dev/null >/dev/null 2>&1 &
  local pid=$!
  echo "$pid" >"$dir/pulse.pid"

  # Ready after ~0.1 s; give up after ~10 s.
  local i
  for ((i = 0; i < 100; i++)); do
    if answers "$dir"; then
      if [ -n "$owner" ]; then
        # Stops the daemon when the owner ends (or exits with the daemon).
        # It waits with the read builtin on a fifo that never gets data, so
        # it has no child process that could outlive it.
        rm -f "$dir/watcher.fifo"
        mkfifo "$dir/watcher.fifo" || die "cannot create $dir/watcher.fifo"
        (
          exec 3<>"$dir/watcher.fifo"
          while kill -0 "$owner" 2>/dev/null && live_pid "$dir/pulse.pid" >/dev/null; do
            read -r -t 0.5 -u 3
          done
          live_pid "$dir/pulse.pid" >/dev/null && kill -TERM "$pid" 2>/dev/null
        ) </dev/null >/dev/null 2>&1 &
        echo "$!" >"$dir/watcher.pid"
      fi
      return 0
    fi
    live_pid "$dir/pulse.pid" >/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  rm -f "$dir/pulse.pid"
  echo "audio-rig: the PulseAudio daemon in $dir did not come up; end of $dir/pulse.log:" >&2
  tail -n 20 "$dir/pulse.log" >&2 2>/dev/null
  exit 1
}

stop() {
  local dir pid wpid i
  dir=$(absdir "${1:-}") || exit 1
  if wpid=$(live_pid "$dir/watcher.pid"); then
    kill -TERM "$wpid" 2>/dev/null
  fi
  rm -f "$dir/watcher.pid"
  if pid=$(live_pid "$dir/pulse.pid"); then
    # Make sure the pid still names our daemon, not a reused number.
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "pulseaudio.*$dir/rig.pa"; then
      kill -TERM "$pid" 2>/dev/null
      for ((i = 0; i < 50; i++)); do
        live_pid "$dir/pulse.pid" >/dev/null || break
        sleep 0.1
      done
      if live_pid "$dir/pulse.pid" >/dev/null; then
        kill -KILL "$pid" 2>/dev/null
        for ((i = 0; i < 20; i++)); do
          live_pid "$dir/pulse.pid" >/dev/null || break
          sleep 0.1
        done
      fi
    fi
  fi
  rm -f "$dir/pulse.pid" "$dir/pulse.sock"
  return 0
}

cmd=${1:-}
[ $# -ge 2 ] || usage
shift
case $cmd in
  start) start "$@" ;;
  stop) stop "$1" ;;
  env)
    dir=$(absdir "$1") || exit 1
    [ -f "$dir/env" ] || die "no rig in $dir"
    cat "$dir/env"
    ;;
  status)
    dir=$(absdir "$1") || exit 1
    live_pid "$dir/pulse.pid" >/dev/null && answers "$dir"
    ;;
  *) usage ;;
esac
