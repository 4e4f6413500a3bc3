#!/usr/bin/env bash
# The dependencies between the source folders run one way only: the core includes no
# toolkit and no front end, the display layer never reaches into the game, and no
# front end includes another. Drawn from the #include lines themselves.
#   one_way_includes.sh SRC_DIR
set -u
src=$1
failures=0

# forbid FOLDER PATTERN WHY: no file under FOLDER (a path below src) includes PATTERN.
forbid() {
  local folder=$1 pattern=$2 why=$3 hits
  [ -d "$src/$folder" ] || return 0
  hits=$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" \
    "$src/$folder" 2>/dev/null)
  if [ -n "$hits" ]; then
    echo "FAIL: $why:"
    sed "s|^$src/|  |" <<<"$hits"
    failures=$((failures + 1))
  fi
}

core="display/[a-z_]+\.h|game/|board/|ball/|flow/|logo/|controls/|sim/|sound/"
toolkits="Q[A-Za-z]*|qt|emscripten"
front_ends="display/qt/|display/web/|app/|web/"

for folder in game board ball flow logo controls sim sound; do
  forbid "$folder" "$toolkits" "the core folder $folder includes a toolkit"
  forbid "$folder" "$front_ends" "the core folder $folder includes a front end"
done
# display/ itself: the element model, the clock and the random source.
for file in "$src"/display/*.h "$src"/display/*.cpp; do
  hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($toolkits|$front_ends)" "$file")
  [ -z "$hits" ] || { echo "FAIL: ${file#$src/} includes a toolkit or a front end: $hits"; failures=$((failures + 1)); }
done
forbid display "game/|board/|ball/|flow/|logo/|controls/|sim/|sound/policy|sound/cues" "src/display/ includes the game"
forbid display/qt "display/web/|app/|web/|emscripten" "the Qt window includes another front end"
forbid display/web "display/qt/|app/|Q[A-Za-z]*|qt" "the browser back end includes another front end"
forbid app "display/web/|web/|emscripten" "the window's program includes the page's"
forbid web "display/qt/|app/|Q[A-Za-z]*|qt" "the page's program includes the window's"

[ "$failures" -eq 0 ] || exit 1
echo "includes run one way: core <- display <- front ends, and no front end includes another"
