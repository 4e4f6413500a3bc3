# Sourced by the tools that run the game under Xvfb: a private X server, a way to
# find the game's window on it, and the cleanup that ends both. A caller keeps the
# game's process id in game_pid.

xvfb_pid=
game_pid=

# Ends the game and the X server, whichever were started.
stop_game_and_xvfb() {
  # The game keeps its last game as it ends: the X server goes, and the game's scratch
  # folder may be removed, only once it has.
  if [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; then wait "$game_pid" 2>/dev/null || true; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# Starts Xvfb on a display number it picks itself (written to the fd it is given) and
# exports DISPLAY. A held key repeats as on a desktop. Extra arguments go to Xvfb.
#   start_xvfb WIDTHxHEIGHT [XVFB ARGS...]
start_xvfb() {
  local screen=$1
  shift
  exec 3< <(Xvfb -displayfd 1 -screen 0 "${screen}x24" -nolisten tcp -ardelay 250 -arinterval 33 "$@" \
    2>/dev/null & echo "pid $!")
  read -r _ xvfb_pid <&3
  read -r display_number <&3
  exec 3<&-
  export DISPLAY=":$display_number"
}

# Prints the id of the shown game window once it appears, within about thirty seconds
# (a busy machine starts it slowly).
wait_for_game_window() {
  local window
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Tilerush!$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.05
  done
  echo "$(basename "$0"): the game window did not appear" >&2
  return 1
}
