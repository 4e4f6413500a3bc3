#!/usr/bin/env bash
# Every C++ file is laid out as .clang-format says, so that no change carries a
# reformatting of lines it did not touch. To mend: clang-format -i FILE...
# Debian 12's clang-format (14) and Debian 13's (19) lay out a few calls differently
# (a lambda that is not the last argument): the code is written so that both agree.
#   formatted.sh PROJECT_DIR
set -u
cd "$1" || exit 2
command -v clang-format >/dev/null || { echo "FAIL: no clang-format (Debian's clang-format package)"; exit 1; }
mapfile -t files < <(find src tests bench tools -path tests/fuzz/corpus -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  echo "FAIL: these files are not as clang-format lays them out (clang-format -i to mend):"
  sed -n 's/^\([^ :]*\.\(cpp\|h\)\):[0-9]*:.*/  \1/p' <<<"$report" | sort -u
  exit 1
fi
echo "${#files[@]} files laid out as .clang-format says"
