#!/usr/bin/env bash
# Installs the build into a throw-away DESTDIR and checks what a user gets: files where desktops look, a valid
# menu entry and metadata, manual pages that render and agree with --help, and replay files the desktop knows.
#   check_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
source "$(dirname "$0")/expected_files.sh"
require_tools cmake desktop-file-validate appstreamcli file man lexgrog update-mime-database mimetype

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
prefix=$root/usr

while read -r path; do
  [ -f "$prefix/$path" ] || fail "the install lacks $path"
done < <(expected_files bin)
for program in "${PROGRAMS[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

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
  # The menu shows a dead launcher if Exec or Icon name something the install does not hold, and a
  # file manager cannot hand a replay to an entry whose Exec takes no file.
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line does not start an installed program"
  [[ $exec_line == *" %f" ]] || fail "Exec=$exec_line is not given the file a file manager opens"
  grep -qx 'MimeType=application/x-tilerush-replay;' "$desktop" || fail "the menu entry does not open replays"
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name is not an installed icon"
fi
if [ -f "$metainfo" ]; then
  # --strict also fails on infos, such as a missing content rating, which software centres need.
  # AppStream 1.0 (Debian 13) asks for <developer> where older ones had <developer_name>;
  # Debian 12's 0.16 does not know the new tag yet, and notes only that.
  report=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) ||
    if grep -E '^[EWI]: ' <<<"$report" | grep -qv ': unknown-tag developer$'; then
      echo "$report" >&2
      fail "appstreamcli rejects the metainfo"
    fi
  # Software centres join the metainfo to the menu entry by this name.
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
  [ -f "$prefix/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
  # A release without its notes shows as an unknown version in software centres.
  [ "$(metainfo_versions "$metainfo" | head -n1)" = "$version" ] ||
    fail "the newest release of the metainfo is not $version: $(metainfo_versions "$metainfo" | tr '\n' ' ')"
fi

# The terms a manual page defines in one section: the first bold word of each tagged paragraph
# (a command, a key) and every option among its bold words.
manual_terms() {
  local page=$1 section=$2
  zcat "$page" | awk -v want="$section" '
    /^\.SH / { section = $0; sub(/^\.SH "?/, "", section); sub(/"$/, "", section) }
    /^\.RS 4$/ && section == want { print previous }
    { previous = $0 }' |
    while read -r tag; do
      grep -o '\\fB[^\\]*\\fR' <<<"$tag" | sed 's/^\\fB//; s/\\fR$//' | awk 'NR == 1 || /^-/'
    done | sort -u
}

# Every option and command that the manual page describes is also in the program's --help.
help_covers_manual() {
  local program=$1 page=$2 help term section
  help=$("$program" --help) || fail "$(basename "$program") --help failed"
  for section in OPTIONS SCRIPTS; do
    while read -r term; do
      grep -qF -- "$term" <<<"$help" || fail "$(basename "$program") --help lacks '$term' of its manual page"
    done < <(manual_terms "$page" "$section")
  done
}

for program in "${PROGRAMS[@]}"; do
  page=$prefix/share/man/man6/$program.6.gz
  [ -f "$page" ] || continue
  # man --warnings reports a fault of the roff on standard error and still succeeds.
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program(6) renders with warnings: $warnings"
  text=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
  # Read as mandb reads it for apropos and whatis, not as rendered, which groff may justify.
  lexgrog "$page" | grep -qF ": \"$program - " || fail "$program(6) has no NAME line for apropos and whatis"
  grep -q "Tilerush $version" <<<"$text" || fail "$program(6) does not say version $version"
  [ -n "$(manual_terms "$page" OPTIONS)" ] || fail "$program(6) describes no option"
done
[ "$("$prefix/bin/tilerush-sim" --version)" = "tilerush-sim $version" ] || fail "tilerush-sim --version is not $version"
help_covers_manual "$prefix/bin/tilerush-sim" "$prefix/share/man/man6/tilerush-sim.6.gz"
# The window reads its options before it looks for a display.
[ "$("$prefix/bin/tilerush" --version)" = "tilerush $version" ] || fail "tilerush --version is not $version"
help_covers_manual "$prefix/bin/tilerush" "$prefix/share/man/man6/tilerush.6.gz"

# Once its type is registered, a desktop knows a replay by its name and by its first line, and
# takes other text for what it is.
export XDG_DATA_HOME=$root/home XDG_DATA_DIRS=$prefix/share:/usr/share
update-mime-database "$prefix/share/mime"
mime_type() { mimetype -b "$1"; }
printf '# Tilerush replay\n# Tilerush %s\nseed 7\nopen\nadvance 25\n' "$version" >"$root/game"
printf 'seed 7\nopen\n' >"$root/edited.tilerush"
printf '# Tilerush notes\nseed 7\n' >"$root/notes"
for file in game edited.tilerush; do
  found=$(mime_type "$root/$file")
  [ "$found" = application/x-tilerush-replay ] || fail "'$file' is taken for $found, not a replay"
done
found=$(mime_type "$root/notes")
[ "$found" = text/plain ] || fail "plain text that merely looks alike is taken for $found"

[ "$failures" -eq 0 ] || exit 1
echo "install into DESTDIR: all files present and valid, manual pages render, replays recognised"
