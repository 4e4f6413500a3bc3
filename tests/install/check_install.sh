#!/usr/bin/env bash
# Installs the build into a throw-away DESTDIR and checks that a desktop would find, trust and launch what it put there.
#   check_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
source "$(dirname "$0")/expected_files.sh"
require_tools cmake desktop-file-validate appstreamcli file

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
prefix=$root/usr

while read -r path; do
  [ -f "$prefix/$path" ] || fail "the install lacks $path"
done < <(expected_files)
[ -x "$prefix/bin/tilerush" ] || fail "bin/tilerush is not executable"

# A PNG in the wrong size folder is scaled again by every menu that uses it, and looks blurred.
for size in "${ICON_SIZES[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png
  if [ -f "$png" ] && [[ $(file -b "$png") != "PNG image data, $size x $size,"* ]]; then
    fail "the ${size}x${size} icon is $(file -b "$png")"
  fi
done

desktop=$prefix/share/applications/$APP_ID.desktop
metainfo=$prefix/share/metainfo/$APP_ID.metainfo.xml
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
  # The menu shows a dead launcher if Exec or Icon name something the install does not hold.
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -n "$exec_name" ] && [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name is not an installed icon"
fi
if [ -f "$metainfo" ]; then
  # --strict also fails on infos, such as a missing content rating, which software centres need.
  report=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) || {
    echo "$report" >&2
    fail "appstreamcli rejects the metainfo"
  }
  # Software centres join the metainfo to the menu entry by this name.
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
  [ -f "$prefix/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
  # A release without its notes shows as an unknown version in software centres.
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release entry for version $version"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install into DESTDIR: all files present and valid"
