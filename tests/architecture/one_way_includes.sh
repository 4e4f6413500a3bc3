#!/usr/bin/env bash
# Every folder of src/ may include only what its layer stands on: the folders below it
# and, for the toolkit layers and the programs, the toolkit's own headers. Drawn from
# the #include lines themselves, as an allow-list: a folder or a header not listed
# here fails, so a new dependency is a decision written down in this file.
#   one_way_includes.sh SRC_DIR
set -u
src=$1
failures=0

# The folders of the project each folder may include ("version.h" is the build's), or
# single headers of a folder it does not otherwise stand on (the window's key table
# names the game's key codes, and nothing else of the game).
declare -A folders=(
  [display]="display"
  [timing]="timing display"
  [game]="game levels timing display"
  [board]="game levels timing display"
  [ball]="game levels timing display"
  [flow]="game levels timing display"
  [logo]="game levels timing display"
  [controls]="controls game levels timing display"
  [sound]="sound"
  [hearing]="hearing sound game levels timing display"
  [sim]="sim game levels timing display"
  [kept]="kept sim game levels timing display"
  [stage]="stage kept sim controls game levels timing display"
  [levels]="levels game/result.h"
  [links]="links game/result.h"
  [proof]="proof links sim game levels timing display"
  [server]="server proof links kept sim game levels timing display version.h"
  [cli]="cli kept sim game levels timing display version.h"
  [display/qt]="display/qt sound display timing game/keys.h"
  [display/web]="display/web display"
  [app]="app links display/qt hearing stage kept sim controls sound game levels timing display version.h"
  [web]="web display/web hearing stage kept sim controls sound game levels timing display version.h"
)
# The headers from outside the project each folder may include, by family.
declare -A outside=(
  [display/qt]="std qt simd xcb"
  [app]="std qt posix sdl"
  [links]="std zlib"
  [server]="std boost sqlite libpq json net"
  [display/web]="std emscripten"
  [web]="std emscripten"
)
declare -A family=(
  [std]='^[a-z_]+$'  # the C++ standard library: <vector>, <cstdint>
  [qt]='^Q'
  [xcb]='^xcb/'
  [simd]='^[a-z]*intrin\.h$'
  [posix]='^(unistd|fcntl|signal|sys/[a-z_]+)\.h$'
  [zlib]='^zlib\.h$'
  [boost]='^boost/'
  [sqlite]='^sqlite3\.h$'
  [libpq]='^libpq-fe\.h$'
  [json]='^nlohmann/'
  [net]='^arpa/inet\.h$'
  [sdl]='^SDL2?[/.]'
  [emscripten]='^emscripten[/.]'
)

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The project folder a quoted include names: display/qt/canvas.h -> display/qt.
folder_of() {
  case $1 in
    display/qt/* | display/web/*) echo "${1%/*}" ;;
    */*) echo "${1%%/*}" ;;
    *) echo "$1" ;;
  esac
}

allowed_outside() {
  local header=$1 name
  for name in ${outside[$2]:-std}; do
    [[ $header =~ ${family[$name]} ]] && return 0
  done
  return 1
}

check_file() {
  local file=$1 folder=$2 line header
  while IFS= read -r line; do
    if [[ $line =~ \"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      [[ " ${folders[$folder]} " == *" $(folder_of "$header") "* || " ${folders[$folder]} " == *" $header "* ]] ||
        fail "${file#$src/} includes \"$header\", which $folder does not stand on"
    elif [[ $line =~ \<([^\>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      allowed_outside "$header" "$folder" || fail "${file#$src/} includes <$header>, which $folder may not use"
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
}

while IFS= read -r dir; do
  folder=${dir#$src/}
  [ -n "${folders[$folder]+known}" ] || { fail "src/$folder is a folder the include checker does not know"; continue; }
  for file in "$dir"/*.h "$dir"/*.cpp; do
    [ -e "$file" ] && check_file "$file" "$folder"
  done
done < <(find "$src" -mindepth 1 -type d | sort)

[ "$failures" -eq 0 ] || exit 1
echo "every folder includes only what its layer stands on"
