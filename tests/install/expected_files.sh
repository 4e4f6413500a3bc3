# What a Tilerush install must hold, relative to its prefix, and how the checks report a fault; sourced by both checks.

APP_ID=io.github.tilerush.Tilerush
ICON_SIZES=(16 22 24 32 48 64 128 256)

expected_files() {
  echo bin/tilerush
  echo "share/applications/$APP_ID.desktop"
  echo "share/metainfo/$APP_ID.metainfo.xml"
  echo "share/icons/hicolor/scalable/apps/$APP_ID.svg"
  echo share/doc/tilerush/copyright
  local size
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
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (./run.sh installs it)" >&2; exit 1; }
  done
}
