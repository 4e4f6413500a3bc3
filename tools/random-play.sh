#!/usr/bin/env bash
# Plays the real window under Xvfb with random keys and clicks for a while, then says
# how much memory the game held after the first minute and at the end, and whether
# it survived.
#   tools/random-play.sh [MINUTES] [BINARY]
# Exits 0 when the game is still running at the end, 1 when it died.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-1}
binary=${2:-build/src/app/tilerush}
[ -x "$binary" ] || { echo "random-play.sh: no game binary at $binary (build it first)" >&2; exit 2; }
case $minutes in '' | *[!0-9]*) echo "random-play.sh: MINUTES must be a whole number" >&2; exit 2 ;; esac

source tools/xvfb.sh
scratch=$(mktemp -d)
trap 'stop_game_and_xvfb; rm -rf "$scratch"' EXIT

start_xvfb 800x600
# M is among the keys: its setting goes to a scratch folder, and no sound server is
# found, so that the run neither changes the player's settings nor makes a noise.
XDG_CONFIG_HOME=$scratch XDG_DATA_HOME=$scratch PULSE_SERVER=unix:$scratch/no-sound-server "$binary" 2>/dev/null &
game_pid=$!
window=$(wait_for_game_window)
xdotool windowfocus --sync "$window"

resident_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null || echo "?"; }
alive() { kill -0 "$game_pid" 2>/dev/null; }

keys=(Left Right Left Right Left Right p m space a z 1 Up Down Return Escape)
# Button centres (pause, game over, level) and anywhere in the window.
spots=("304 240" "304 240" "304 258" "304 352")
held=()

act() {
  case $((RANDOM % 10)) in
    0 | 1 | 2 | 3)
      local key=${keys[RANDOM % ${#keys[@]}]}
      xdotool keydown "$key"
      held+=("$key")
      ;;
    4 | 5 | 6)
      if [ ${#held[@]} -gt 0 ]; then
        xdotool keyup "${held[-1]}"
        unset 'held[-1]'
      fi
      ;;
    7 | 8)
      local spot=${spots[RANDOM % ${#spots[@]}]}
      # shellcheck disable=SC2086
      xdotool mousemove --window "$window" $spot click 1
      ;;
    9) xdotool mousemove --window "$window" $((RANDOM % 568)) $((RANDOM % 489)) click 1 ;;
  esac
}

start=$SECONDS
end=$((start + minutes * 60))
first_minute=
actions=0
while [ $SECONDS -lt $end ] && alive; do
  act >/dev/null 2>&1 || true
  actions=$((actions + 1))
  sleep "0.0$((RANDOM % 10))"
  if [ -z "$first_minute" ] && [ $((SECONDS - start)) -ge 60 ]; then first_minute=$(resident_kib); fi
done
for key in "${held[@]}"; do xdotool keyup "$key" >/dev/null 2>&1 || true; done

if alive; then
  at_end=$(resident_kib)
  echo "random-play.sh: $actions actions in $minutes min; resident memory after the first minute ${first_minute:-$at_end} KiB, at the end $at_end KiB; the game survived"
  exit 0
fi
wait "$game_pid" && status=0 || status=$?
echo "random-play.sh: the game died (status $status) after $actions actions and $((SECONDS - start)) s" >&2
exit 1
