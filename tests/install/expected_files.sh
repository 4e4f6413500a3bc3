# What a Tilerush install must hold, relative to its prefix, and the helpers both checks share; sourced by both.

APP_ID=io.github.tilerush.Tilerush
ICON_SIZES=(16 22 24 32 48 64 128 256)
PROGRAMS=(tilerush tilerush-sim)

# The files of an install whose programs are in PROGRAM_DIR (bin for a prefix, games in the .deb).
expected_files() {
  local program_dir=$1 program size
  for program in "${PROGRAMS[@]}"; do
    echo "$program_dir/$program"
    echo "share/man/man6/$program.6.gz"
  done
  echo "share/applications/$APP_ID.desktop"
  echo "share/metainfo/$APP_ID.metainfo.xml"
  echo "share/mime/packages/$APP_ID.xml"
  echo "share/icons/hicolor/scalable/apps/$APP_ID.svg"
  echo share/doc/tilerush/copyright
  echo share/doc/tilerush/changelog.gz
  for size in "${ICON_SIZES[@]}"; do
    echo "share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
  done
}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (./run.sh test installs it)" >&2; exit 1; }
  done
}

# The versions a metainfo file has release notes for, newest first.
metainfo_versions() {
  sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$1"
}
