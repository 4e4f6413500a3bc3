#!/usr/bin/env bash
# What sound costs the real window: first how soon a cue reaches the sound server
# (tilerush-sound-latency), then tools/measure-window.sh run with the sound on (a
# private PulseAudio null sink takes it), with --mute, and, when given, with a build
# from before sound, one run of each in turn so that a busy machine weighs on all
# alike. Prints each run and the medians; asserts nothing.
#   tools/measure-sound.sh [RUNS] [BINARY] [BINARY WITHOUT SOUND]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
binary=${2:-build/src/app/tilerush}
before=${3:-}
case $runs in '' | *[!0-9]* | 0) echo "measure-sound.sh: RUNS must be a whole number above 0" >&2; exit 2 ;; esac
command -v pulseaudio >/dev/null || { echo "measure-sound.sh: needs pulseaudio (./run.sh installs it)" >&2; exit 2; }

scratch=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The sound server: one null sink, its socket in the scratch folder.
mkdir -p "$scratch/run"
HOME=$scratch XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch DISPLAY= DBUS_SESSION_BUS_ADDRESS=disabled: \
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  -L "module-null-sink sink_name=measure rate=48000" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$scratch/native" 2>"$scratch/server.log" &
server_pid=$!
for _ in $(seq 100); do [ -S "$scratch/native" ] && break; sleep 0.05; done
[ -S "$scratch/native" ] || { echo "measure-sound.sh: the sound server did not start" >&2; exit 1; }
export PULSE_SERVER=unix:$scratch/native
# The settings stay out of the player's own.
export XDG_CONFIG_HOME=$scratch/config

latency=$(dirname "$binary")/../../bench/tilerush-sound-latency
if [ -x "$latency" ]; then
  "$latency" measure.monitor 20 | tail -n 1 || true
else
  echo "measure-sound.sh: no $latency, so no latency figure"
fi

configs=("on|$binary|" "muted|$binary|--mute")
[ -n "$before" ] && configs+=("before sound|$before|")
: >"$scratch/results"
for run in $(seq "$runs"); do
  for config in "${configs[@]}"; do
    IFS='|' read -r name game args <<<"$config"
    # A run that fails (a busy machine can keep the window from showing in time)
    # is left out.
    line=$(GAME_ARGS=$args tools/measure-window.sh 1 "$game" | grep '^run 1:') || {
      printf 'run %d, %s: failed\n' "$run" "$name"
      continue
    }
    echo "$name|${line#run 1: }" >>"$scratch/results"
    printf 'run %d, %s: %s\n' "$run" "$name" "${line#run 1: }"
  done
done

# Medians of play share, paused share and peak resident memory, for each config.
for config in "${configs[@]}"; do
  name=${config%%|*}
  grep "^$name|" "$scratch/results" | sed -E 's/.*play ([0-9.]+)% .*paused ([0-9.]+)%.*resident ([0-9]+) KiB/\1 \2 \3/' |
    awk -v name="$name" '
      { play[NR] = $1; rest[NR] = $2; peak[NR] = $3 }
      function median(a, n,   i, j, t) {
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
      }
      END { printf "%-13s play %.2f%% of a core, paused %.2f%%, peak resident %.1f MiB (median of %d)\n",
                   name ":", median(play, NR), median(rest, NR), median(peak, NR) / 1024, NR }'
done
