#!/usr/bin/env bash
# tilerush-sim --challenge-seed gives every day of the table its seed on one line with
# status 0, and refuses what is no date in one line on standard error with status 2.
#   challenge_seed_cli.sh TILERUSH_SIM CHALLENGE_DAYS
set -u
sim=$1
failures=0
while read -r day seed; do
  [[ $day == \#* || -z $day ]] && continue
  out=$("$sim" --challenge-seed "$day")
  status=$?
  if [ "$status" -ne 0 ] || [ "$out" != "$seed" ]; then
    echo "FAIL: $day: status $status, printed '$out', not $seed"
    failures=$((failures + 1))
  fi
done <"$2"
for bad in 2026-02-29 2026-13-01 2026-12-32 0000-01-01 2026-1-01 20261210 "2026-12-10 " ""; do
  err=$("$sim" --challenge-seed "$bad" 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 2 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [[ $err != "tilerush-sim: "* ]]; then
    echo "FAIL: '$bad': status $status: $err"
    failures=$((failures + 1))
  fi
done
"$sim" --challenge-seed >/dev/null 2>&1
[ $? -eq 2 ] || { echo "FAIL: --challenge-seed without a day is not status 2"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "all days' seeds as the table says"
exit $((failures > 0))
