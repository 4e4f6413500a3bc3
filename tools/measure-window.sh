#!/usr/bin/env bash
# Measures the real window under Xvfb: the time from exec to the first frame on
# screen, the CPU it takes while played with held keys for 20 s and while paused for
# 10 s (CPU seconds per wall second, as a share of one core), and its peak resident
# memory. Prints each run and the medians; asserts nothing, as a busy machine would
# fail any limit. Given several binaries, each run measures them one after the other,
# so that the load of a shared machine weighs on all alike. Each run also shows the
# steps of the start that the game marks, in milliseconds from exec (where the time
# goes before the first frame, and what starts after it).
#   tools/measure-window.sh [RUNS] [BINARY...]
# GAME_ARGS, if set, are given to the game (say --mute). FULL_SCREEN=WIDTHxHEIGHT
# plays on a screen of that size, beside a window manager (openbox), with the window
# taken to full screen by F11 before play.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/xvfb.sh

runs=${1:-5}
shift || true
binaries=("$@")
[ ${#binaries[@]} -gt 0 ] || binaries=(build/src/app/tilerush)
for binary in "${binaries[@]}"; do
  [ -x "$binary" ] || { echo "measure-window.sh: no game binary at $binary (build it first)" >&2; exit 2; }
done
case $runs in '' | *[!0-9]* | 0) echo "measure-window.sh: RUNS must be a whole number above 0" >&2; exit 2 ;; esac
full_screen=${FULL_SCREEN:-}
if [ -n "$full_screen" ]; then
  [[ $full_screen =~ ^[0-9]+x[0-9]+$ ]] || { echo "measure-window.sh: FULL_SCREEN must be WIDTHxHEIGHT" >&2; exit 2; }
  command -v openbox >/dev/null || { echo "measure-window.sh: full screen needs openbox" >&2; exit 2; }
fi

play_seconds=20
pause_seconds=10
ticks_per_second=$(getconf CLK_TCK)
# Points of the layout, in pixels at scale 1: the Game Over button (where Pause also
# shows) and the level button.
game_over_spot="304 240"
level_spot="300 352"

scratch=$(mktemp -d)
wm_pid=
cleanup() {
  stop_game_and_xvfb
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# The game keeps its settings (the sound, the window's size) here, not in the player's,
# and every start finds none.
export XDG_CONFIG_HOME=$scratch/config
forget_settings() { rm -rf "$XDG_CONFIG_HOME"; }


stop_game() {
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=
}

# Seconds since the epoch of an ISO time in UTC, with milliseconds.
epoch_of() { date -u -d "$1" +%s.%N; }

# Sets `frame` to the milliseconds from exec to the first flush of a painted frame to
# the X server, from Qt's own painting log (switched on for this start only, as it
# costs CPU), checked against a picture of the window: a blank window shows one colour.
measure_first_frame() {
  local log=$scratch/paint.log started flushed colours
  for attempt in 1 2 3; do
    forget_settings
    started=$EPOCHREALTIME
    # The game marks the steps of its start against this moment (a build that knows how).
    TILERUSH_START_TRACE=$started TZ=UTC QT_LOGGING_RULES='qt.widgets.painting=true' \
      QT_MESSAGE_PATTERN='%{time yyyy-MM-ddTHH:mm:ss.zzz} %{message}' "$binary" ${GAME_ARGS:-} 2>"$log" &
    game_pid=$!
    # The log is read until the frame is flushed; only then is the window looked for.
    # Searching the X server for it meanwhile (a process a try) would compete with the
    # start it measures, on the same two cores and the same server.
    flushed=
    for _ in $(seq 1500); do
      flushed=$(grep -m 1 -o '^[^ ]* Flushing' "$log" | cut -d ' ' -f 1) || true
      [ -n "$flushed" ] && break
      sleep 0.02
    done
    [ -n "$flushed" ] && window=$(wait_for_game_window 2>/dev/null) && break
    stop_game
    [ "$attempt" -lt 3 ] || { echo "measure-window.sh: the game window did not appear" >&2; exit 1; }
  done
  colours=$(import -silent -window "$window" -format '%k' info:- 2>/dev/null || echo 0)
  # What the game starts after its first frame is marked within a second of it.
  sleep 1
  stop_game
  marks=$(sed -n 's/^tilerush: start +\([0-9.]*\) ms: \(.*\)$/\2 \1/p' "$log" | paste -sd ';' | sed 's/;/ ms; /g')
  [ -n "$flushed" ] && [ "$colours" -gt 16 ] || { echo "measure-window.sh: no first frame seen" >&2; exit 1; }
  frame=$(awk -v a="$started" -v b="$(epoch_of "$flushed")" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
}

# Clock ticks of CPU the game has used, all its threads together.
cpu_ticks() {
  local stat
  stat=$(<"/proc/$game_pid/stat")
  stat=${stat##*) }
  # After the name: state is field 1, user time field 12, system time field 13.
  awk '{ print $12 + $13 }' <<<"$stat"
}

# Sets `share` to the share of one core, in percent, that the game takes while
# `phase` (a function) runs.
cpu_share() {
  local phase=$1 ticks0 ticks1 wall0 wall1
  ticks0=$(cpu_ticks)
  wall0=$EPOCHREALTIME
  "$phase"
  ticks1=$(cpu_ticks)
  wall1=$EPOCHREALTIME
  share=$(awk -v t="$((ticks1 - ticks0))" -v hz="$ticks_per_second" -v a="$wall0" -v b="$wall1" \
    'BEGIN { printf "%.2f", 100 * t / hz / (b - a) }')
}

# A point of the layout where the window shows it now, at its scale.
click_at() {
  local width height point
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
  width=$WIDTH height=$HEIGHT
  point=$(awk -v w="$width" -v h="$height" -v p="$1" 'BEGIN {
    split(p, xy, " "); s = (w / 568 < h / 489) ? w / 568 : h / 489
    printf "%d %d", (w - 568 * s) / 2 + xy[1] * s, (h - 489 * s) / 2 + xy[2] * s }')
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $point click 1 >/dev/null 2>&1 || true
}

# F11, then the wait for the window to fill the screen.
go_full_screen() {
  xdotool key F11
  for _ in $(seq 100); do
    xdotool getwindowgeometry "$window" | grep -q "Geometry: $full_screen\$" && return 0
    sleep 0.05
  done
  echo "measure-window.sh: the window did not go full screen" >&2
  exit 1
}

# Sweeps the paddle from side to side with held arrow keys; a served ball goes up as
# the paddle starts. Every few sweeps a click on the level and Game Over buttons
# carries on after a cleared level or a lost game (where no button shows, a click
# does nothing).
play() {
  local end=$((SECONDS + play_seconds)) key=Right sweeps=0
  while [ $SECONDS -lt $end ]; do
    xdotool keydown "$key"
    sleep 0.7
    xdotool keyup "$key"
    [ $key = Right ] && key=Left || key=Right
    sweeps=$((sweeps + 1))
    if [ $((sweeps % 4)) -eq 0 ]; then
      click_at "$level_spot"
      click_at "$game_over_spot"
    fi
  done
}

rest() { sleep "$pause_seconds"; }

# Starts the game and sets `window`. Now and then, whatever the build, a start on
# this shared machine finds no display to connect to; such a start is tried again.
start_game() {
  for attempt in 1 2 3; do
    forget_settings
    "$binary" ${GAME_ARGS:-} 2>/dev/null &
    game_pid=$!
    window=$(wait_for_game_window 2>/dev/null) && return 0
    stop_game
  done
  echo "measure-window.sh: the game window did not appear" >&2
  exit 1
}

# One start, played then paused: sets `play_share`, `pause_share` and `peak` (KiB).
measure_play_and_pause() {
  start_game
  if [ -n "$full_screen" ]; then
    xdotool windowactivate --sync "$window"
    go_full_screen
  else
    xdotool windowfocus --sync "$window"
  fi
  sleep 1
  cpu_share play
  play_share=$share
  xdotool key p
  # A lost ball holds the key back for up to a second.
  sleep 1.5
  cpu_share rest
  pause_share=$share
  peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
  stop_game
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The black root makes a window not yet painted blank.
start_xvfb "${full_screen:-800x600}" -br
if [ -n "$full_screen" ]; then
  HOME=$scratch openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi
window=
frame=
marks=
share=
# Each binary's results in a file of its own; its name on each line when there are several.
label() { [ ${#binaries[@]} -gt 1 ] && printf ', %s' "$1" || true; }
for i in "${!binaries[@]}"; do : >"$scratch/results-$i"; done
for run in $(seq "$runs"); do
  for i in "${!binaries[@]}"; do
    binary=${binaries[$i]}
    measure_first_frame
    measure_play_and_pause
    echo "$frame $play_share $pause_share $peak" >>"$scratch/results-$i"
    printf 'run %d%s: first frame %s ms, play %s%% of a core, paused %s%%, peak resident %s KiB\n' \
      "$run" "$(label "$binary")" "$frame" "$play_share" "$pause_share" "$peak"
    [ -z "$marks" ] || echo "  the start's steps: $marks ms"
  done
done
column_median() { awk -v c="$1" '{ print $c }' "$scratch/results-$2" | median; }
for i in "${!binaries[@]}"; do
  printf 'median of %d runs%s: first frame %s ms, play %s%% of a core, paused %s%%, peak resident %.1f MiB\n' \
    "$runs" "$(label "${binaries[$i]}")" "$(column_median 1 "$i")" "$(column_median 2 "$i")" \
    "$(column_median 3 "$i")" "$(column_median 4 "$i" | awk '{ print $1 / 1024 }')"
done
