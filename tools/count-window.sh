#!/usr/bin/env bash
# Counts the instructions the real window spends on a scripted minute, with the sound
# on: callgrind runs the game under Xvfb watching tools/minute/play.tilerush (40 s of
# play) and then tools/minute/paused.tilerush (20 s paused), its sound going to a
# private PulseAudio null sink. A replay plays the same game whatever the machine's
# load, so the counts can be compared between builds run at different times. Only the
# window's own thread inside its event loop is counted (painting, the clock, the
# game); start-up, and the sound's threads (the same code in any build), are not.
# Prints, for each build and each part, the instructions and the repaints.
#   tools/count-window.sh [BINARY...]        # default: build/src/app/tilerush
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/xvfb.sh

command -v valgrind >/dev/null || { echo "count-window.sh: needs valgrind" >&2; exit 2; }
command -v pulseaudio >/dev/null || { echo "count-window.sh: needs pulseaudio (./run.sh test installs it)" >&2; exit 2; }
[ $# -gt 0 ] || set -- build/src/app/tilerush
for binary in "$@"; do
  [ -x "$binary" ] || { echo "count-window.sh: no game binary at $binary" >&2; exit 2; }
done

scratch=$(mktemp -d)
server_pid=
cleanup() {
  stop_game_and_xvfb
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/run"
HOME=$scratch XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch DISPLAY= DBUS_SESSION_BUS_ADDRESS=disabled: \
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  -L "module-null-sink sink_name=count rate=48000" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$scratch/native" 2>"$scratch/server.log" &
server_pid=$!
for _ in $(seq 100); do [ -S "$scratch/native" ] && break; sleep 0.05; done
[ -S "$scratch/native" ] || { echo "count-window.sh: the sound server did not start" >&2; exit 1; }
export PULSE_SERVER=unix:$scratch/native XDG_CONFIG_HOME=$scratch/config
start_xvfb 800x600

# How many times the canvas was painted: the calls to Canvas::paintEvent in a
# callgrind file, whose function names are given once and then by number.
paints() {
  awk '
    match($0, /^c?fn=\([0-9]+\)/) {
      id = substr($0, RSTART, RLENGTH); sub(/^c?fn=/, "", id)
      if (length($0) > RLENGTH) name[id] = substr($0, RLENGTH + 2)
      callee = ($0 ~ /^cfn=/) ? id : ""
      next
    }
    /^calls=/ && callee != "" && name[callee] ~ /Canvas::paintEvent/ { split($1, c, "="); n += c[2] }
    END { print n + 0 }' "$1"
}

# Watches REPLAY in BINARY under callgrind and prints its line.
count() {
  local binary=$1 replay=$2 out=$scratch/callgrind.out said=$scratch/said
  rm -f "$out"* "$said"
  valgrind --tool=callgrind --collect-atstart=no '--toggle-collect=QCoreApplication::exec()' \
    --separate-threads=yes --callgrind-out-file="$out" "$binary" "$replay" >"$said" 2>"$scratch/valgrind.log" &
  game_pid=$!
  # Start-up under valgrind takes a few seconds; the replay plays at its own pace.
  for _ in $(seq 1800); do [ -s "$said" ] && break; sleep 0.1; done
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=
  local main=$out-01
  [ -s "$main" ] || { echo "count-window.sh: no count for $replay; see valgrind's log" >&2; cat "$scratch/valgrind.log" >&2; exit 1; }
  printf '%s, %s: %s instructions, %s repaints (%s)\n' "$binary" "$(basename "$replay" .tilerush)" \
    "$(sed -n 's/^summary: //p' "$main")" "$(paints "$main")" "$(tr -d '\n' <"$said")"
}

for binary in "$@"; do
  for replay in tools/minute/play.tilerush tools/minute/paused.tilerush; do count "$binary" "$replay"; done
done
