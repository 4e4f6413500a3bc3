#!/usr/bin/env bash
# Hostile replay files given to the window, and record files it cannot write: each
# must be refused in one line on
# standard error with status 2, and no window may be tried (without a display the
# game would say so with status 1 instead).
#   bad_replays.sh TILERUSH
set -u
game=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

: >"$dir/empty.tilerush"
head -c 4096 /dev/urandom >"$dir/binary.tilerush"
printf 'seed 1\nopen\nadvance 100\nclick nextlevel\n' >"$dir/hidden-click.tilerush"
printf '# Tilerush replay\nseed 1\n' >"$dir/never-opens.tilerush"
printf 'seed 1\nopen\nadvance -5\n' >"$dir/bad-advance.tilerush"
printf 'seed 1\nopen\nexpect nosuchfield 3\n' >"$dir/unknown-field.tilerush"
printf 'seed 1\nopen\nkey down left\x00\n' >"$dir/nul.tilerush"
{ printf 'seed 1\nopen\nset logo.caption '; head -c 1100000 /dev/zero | tr '\0' 'x'; printf '\n'; } >"$dir/long-line.tilerush"
mkdir "$dir/a-folder.tilerush"

failures=0
for replay in "$dir"/*.tilerush "$dir/missing.tilerush"; do
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" --replay "$replay" 2>&1 >/dev/null)
  status=$?
  lines=$(printf '%s\n' "$err" | wc -l)
  if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || [[ $err != "tilerush: "* ]]; then
    echo "FAIL: $(basename "$replay"): status $status, $lines lines: $err"
    failures=$((failures + 1))
  else
    echo "ok: $(basename "$replay"): $err"
  fi
done
# A record file that cannot be written is refused the same way.
for record in "$dir/a-folder.tilerush" "$dir/no-such-folder/game.tilerush"; do
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" --record "$record" 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ $err != "tilerush: cannot write "* ]]; then
    echo "FAIL: --record $(basename "$record"): status $status: $err"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
