#!/usr/bin/env bash
# Builds the .deb with cpack into a throw-away folder and checks its files and its control fields.
#   check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
source "$(dirname "$0")/expected_files.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps file

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

contents=$(dpkg-deb -c "$deb")
while read -r path; do
  grep -q " \./usr/$path\$" <<<"$contents" || fail "the package lacks /usr/$path"
done < <(expected_files)
grep -q '^-rwxr-xr-x .* \./usr/bin/tilerush$' <<<"$contents" || fail "/usr/bin/tilerush is not executable by all"

# The build tree's binary has debug information that players should not download.
dpkg-deb -x "$deb" "$out/root"
[[ $(file -b "$out/root/usr/bin/tilerush") == *", stripped"* ]] || fail "/usr/bin/tilerush is not stripped"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tilerush ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)', not games"
grep -Eq '^[^<>]+ <[^<>@ ]+@[^<> ]+>$' <<<"$(field Maintainer)" || fail "Maintainer '$(field Maintainer)' is not 'Name <e-mail>'"

# Qt and the C++ runtime come from dpkg-shlibdeps; the fonts are named by hand, since Qt opens them at run time.
depends=$(field Depends)
depended_on=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 fonts-liberation2 fonts-open-sans fonts-dancingscript; do
  grep -Fqx "$package" <<<"$depended_on" || fail "Depends lacks $package: $depends"
done

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$deb"): files, stripped binary and control fields as expected"
