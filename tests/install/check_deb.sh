#!/usr/bin/env bash
# Builds the .deb with cpack into a throw-away folder and checks it as Debian would: its files, control
# fields and changelog, and lintian with no error and no warning.
#   check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
source "$(dirname "$0")/expected_files.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file lintian

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
}
arch=$(dpkg --print-architecture)
deb=$out/tilerush_${version}_${arch}.deb
[ -f "$deb" ] || { echo "FAIL: cpack made no $(basename "$deb"):" >&2; ls "$out" >&2; exit 1; }

# Debian's games policy: a game's programs live in /usr/games, and nothing of it in /usr/bin.
contents=$(dpkg-deb -c "$deb")
while read -r path; do
  grep -q " \./usr/$path\$" <<<"$contents" || fail "the package lacks /usr/$path"
done < <(expected_files games)
! grep -q ' \./usr/bin/' <<<"$contents" || fail "the package has a /usr/bin"

# The build tree's binaries have debug information that players should not download.
dpkg-deb -x "$deb" "$out/root"
for program in "${PROGRAMS[@]}"; do
  grep -q "^-rwxr-xr-x .* \./usr/games/$program\$" <<<"$contents" || fail "/usr/games/$program is not executable by all"
  [[ $(file -b "$out/root/usr/games/$program") == *", stripped"* ]] || fail "/usr/games/$program is not stripped"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tilerush ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)', not games"
grep -Eq '^[^<>]+ <[^<>@ ]+@[^<> ]+>$' <<<"$(field Maintainer)" || fail "Maintainer '$(field Maintainer)' is not 'Name <e-mail>'"

# Qt and the C++ runtime come from dpkg-shlibdeps; the fonts are named by hand, since Qt opens them at run time.
depends=$(field Depends)
depended_on=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
# Debian 13 renamed some libraries for its 64-bit time (libqt6core6t64): either name will do.
for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 fonts-liberation2 fonts-open-sans fonts-dancingscript; do
  grep -Eqx "${package//+/\\+}(t64)?" <<<"$depended_on" || fail "Depends lacks $package: $depends"
done

# The changelog and the software centres' release list are made from the same notes: the same
# versions, newest first, the newest being the package's.
zcat "$out/root/usr/share/doc/tilerush/changelog.gz" >"$out/changelog"
changelog_versions=$(dpkg-parsechangelog -l "$out/changelog" --format rfc822 --all -S Version | sed "/^$/d")
metainfo_list=$(metainfo_versions "$out/root/usr/share/metainfo/$APP_ID.metainfo.xml")
[ "$(head -n1 <<<"$changelog_versions")" = "$version" ] || fail "the changelog's newest entry is not $version"
[ "$changelog_versions" = "$metainfo_list" ] ||
  fail "the changelog has $(echo $changelog_versions), the metainfo $(echo $metainfo_list)"

# Informational tags are shown but do not fail; each one still deserves a look.
if lintian_report=$(lintian --allow-root --fail-on error,warning --display-info "$deb" 2>&1); then
  [ -z "$lintian_report" ] || echo "lintian, informational only: $lintian_report"
else
  echo "$lintian_report" >&2
  fail "lintian finds errors or warnings"
fi

# The board's server, where the build has it: a package of its own, no game, in /usr/bin,
# with its systemd unit, manual page, licence and changelog, and as clean for lintian.
board_deb=$out/tilerush-board_${version}_${arch}.deb
if [ -x "$build/src/server/tilerush-board" ]; then
  [ -f "$board_deb" ] || fail "cpack made no $(basename "$board_deb")"
  board_contents=$(dpkg-deb -c "$board_deb")
  for path in bin/tilerush-board lib/systemd/system/tilerush-board.service share/man/man1/tilerush-board.1.gz \
    share/doc/tilerush-board/copyright share/doc/tilerush-board/changelog.gz; do
    grep -q " \./usr/$path\$" <<<"$board_contents" || fail "the board's package lacks /usr/$path"
  done
  unit=$(dpkg-deb --fsys-tarfile "$board_deb" | tar -xO ./usr/lib/systemd/system/tilerush-board.service)
  for line in DynamicUser=yes StateDirectory=tilerush-board \
    'ExecStart=/usr/bin/tilerush-board --data /var/lib/tilerush-board'; do
    grep -qx "$line" <<<"$unit" || fail "the board's unit lacks $line"
  done
  ! grep -q ' \./usr/games/' <<<"$board_contents" || fail "the board's package has a /usr/games"
  [ "$(dpkg-deb -f "$board_deb" Package)" = tilerush-board ] || fail "the board's Package is not tilerush-board"
  if ! board_report=$(lintian --allow-root --fail-on error,warning "$board_deb" 2>&1); then
    echo "$board_report" >&2
    fail "lintian finds errors or warnings in the board's package"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): files in place, stripped programs, control fields, changelog and lintian as expected"
