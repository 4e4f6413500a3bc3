#!/usr/bin/env bash
# Starts the game under Xvfb and saves a picture of its window.
#   tools/screenshot.sh [BINARY] [OUTPUT.png] [SCALE]
# SCALE (default 1) is the device pixel ratio, through QT_SCALE_FACTOR.
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/src/app/tilerush}
output=${2:-docs/screenshot.png}
scale=${3:-1}
[ -x "$binary" ] || { echo "screenshot.sh: no game binary at $binary (build it first)" >&2; exit 1; }

source tools/xvfb.sh
trap stop_game_and_xvfb EXIT

# Room for the window at scale 2.
start_xvfb 1600x1200
QT_SCALE_FACTOR=$scale "$binary" &
game_pid=$!
window=$(wait_for_game_window)

# Let the first frames settle: the title balls move, the rest waits for a key.
sleep 1
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot.sh: $(identify -format '%wx%h' "$output") window saved to $output"
