#!/usr/bin/env bash
# Hostile replay files and links given to the window, and record files it cannot
# write: each must be refused in one line on standard error with status 2, and no
# window may be tried (without a display the game would say so with status 1 instead).
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
# Links as a friend might send them, broken on the way or made to harm. Made with
# Perl's zlib as the page makes them with CompressionStream.
link() { perl -MCompress::Zlib -MMIME::Base64=encode_base64url -0777 -e 'print "r=1." . encode_base64url(compress(<STDIN>))'; }
good=$(printf 'seed 1\nopen\nadvance 100\nkey down 39\nadvance 300\n' | link)
bad_links=(
  "${good:0:$((${#good} - 6))}"                              # cut short
  "${good:0:12}AAAA${good:16}"                               # garbled
  "https://tilerush.example/#${good:0:20}"                   # cut in a web address
  "$(perl -e 'print "advance 1\n" x 1800000' | link)"        # inflates past 16 MiB
  "r=1.\$(touch $dir/owned)\\;\`id\`"                       # hostile characters
  "#r=3.${good:4}"                                           # a version to come
  "r=1."                                                     # nothing in it
  "$(printf 'r=1.eJw\n\033[2Jrm')"                            # a new line and a terminal's escape
  "$(printf 'seed 1\n' | link)"                              # never opens
  "$(head -c 3000 /dev/urandom | link)"                      # not a replay at all
)
for bad in "${bad_links[@]}"; do
  for option in "" --replay --race; do
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" $option "$bad" 2>&1 >/dev/null)
    status=$?
    if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ $err != "tilerush: "* ]]; then
      echo "FAIL: link $(printf %q "${bad:0:30}")... ${option:-watched}: status $status: $err"
      failures=$((failures + 1))
    else
      echo "ok: link $(printf %q "${bad:0:30}")... ${option:-watched}: $err"
    fi
  done
done
[ ! -e "$dir/owned" ] || { echo "FAIL: a link ran a command"; failures=$((failures + 1)); }
# A good link, in each form it may be given, passes its check and goes on to open a
# window (status 1 here: there is no display).
for form in "$good" "#$good" "https://tilerush.example/play/#$good"; do
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" "$form" >/dev/null 2>&1
  status=$?
  [ "$status" -eq 1 ] || { echo "FAIL: good link ${form:0:30}...: status $status"; failures=$((failures + 1)); }
done
# Level sets, as files and as links: a bad one is one line naming its map and row; a
# good one goes on to open a window.
setlink() { perl -MCompress::Zlib -MMIME::Base64=encode_base64url -0777 -e 'print "l=1." . encode_base64url(compress(<STDIN>))'; }
{ printf 'title Good
map
11111111111111111111
'; for _ in 1 2 3 4 5 6 7 8 9; do printf '%020d
' 0; done; } >"$dir/good.levels"
sed 's/^11111111111111111111$/1111111111111111111/' "$dir/good.levels" >"$dir/short-row.levels"
for args in "--levels $dir/short-row.levels" "--levels $dir/missing.levels" "--levels #$(setlink <"$dir/short-row.levels")" \
  "#l=2.${good:4}" "--levels $dir/good.levels --challenge" "--levels $dir/good.levels $dir/unseeded.sim"; do
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" $args 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ $err != "tilerush: "* ]]; then
    echo "FAIL: ${args:0:60}: status $status: $err"
    failures=$((failures + 1))
  else
    echo "ok: ${args:0:60}: $err"
  fi
done
for args in "--levels $dir/good.levels" "https://tilerush.example/#$(setlink <"$dir/good.levels")"; do
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" $args >/dev/null 2>&1
  status=$?
  [ "$status" -eq 1 ] || { echo "FAIL: a good set ${args:0:40}...: status $status"; failures=$((failures + 1)); }
done
# A replay that opens unseeded has no first draws to race on.
printf 'open\nadvance 100\n' >"$dir/unseeded.sim"
err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" --race "$dir/unseeded.sim" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] || { echo "FAIL: --race of an unseeded replay: status $status: $err"; failures=$((failures + 1)); }
# A day that is not one of the calendar, and a challenge beside a replay.
for args in "--day 2026-02-29" "--day 2026-2-1" "--challenge --day" "--challenge $dir/unseeded.sim"; do
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$game" $args 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ $err != "tilerush: "* ]]; then
    echo "FAIL: $args: status $status: $err"
    failures=$((failures + 1))
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
