#!/usr/bin/env bash
# Starts the game under Xvfb and saves a picture of its window.
#   tools/screenshot.sh [BINARY] [OUTPUT.png] [SCALE]
# SCALE (default 1) is the device pixel ratio, through QT_SCALE_FACTOR.
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build-qt/src/app/tilerush}
output=${2:-docs/screenshot.png}
scale=${3:-1}
[ -x "$binary" ] || { echo "screenshot.sh: no game binary at $binary (build it first)" >&2; exit 1; }

# The first display number nobody holds.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done

Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

QT_SCALE_FACTOR=$scale "$binary" &
game_pid=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --name '^Tilerush!$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshot.sh: the game window did not appear" >&2; exit 1; }

# Let the first frames settle: the title balls move, the rest waits for a key.
sleep 1
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot.sh: $(identify -format '%wx%h' "$output") window saved to $output"
