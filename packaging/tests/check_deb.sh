#!/usr/bin/env bash
# Builds the Debian package with CPack into <build>/package, lists it and checks its contents, its
# control fields and the unit it carries, then runs lintian on it: no errors allowed.
set -euo pipefail
build=$1
cpack=$2
here=$(dirname "$0")
. "$here/common.sh"
out=$build/package
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && "$cpack" -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
debs=("$out"/velanote_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one velanote_*.deb in $out"
deb=${debs[0]}
echo "$deb ($(stat -c %s "$deb") bytes)"

listing=$(dpkg-deb -c "$deb")
echo "$listing"
for path in "${installed_paths[@]}"; do
    grep -q " \./usr/$path\$" <<<"$listing" || fail "not in the package: /usr/$path"
done
for program in "${programs[@]}"; do
    grep -q -- "-rwxr-xr-x root/root .* \./usr/$program\$" <<<"$listing" || fail "/usr/$program is not root's 0755"
done
! awk '{ print $6 }' <<<"$listing" | grep -v '^\./\(usr/\)\?$' | grep -v '^\./usr/\(bin\|lib\|share\)/' ||
    fail "files outside /usr/bin, /usr/lib, /usr/share"

version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "velanote_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libc6 libqt6widgets6 libqt6multimedia6 libespeak-ng1 libmp3lame0 libmicrohttpd12 \
    espeak-ng-data fonts-noto-cjk gstreamer1.0-plugins-base gstreamer1.0-plugins-good qt6-translations-l10n; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = xdg-utils ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
control=$(dpkg-deb -I "$deb")
for script in postinst prerm postrm; do
    grep -Eq "^ +[0-9]+ bytes, +[0-9]+ lines +\* +$script " <<<"$control" || fail "no executable $script"
done
unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/lib/systemd/system/velanote-serve.service)
grep -q '^ExecStart=/usr/bin/velanote serve ' <<<"$unit" || fail "the unit does not start /usr/bin/velanote"

# With its informational tags, where the hardening ones are.
report=$(lintian -I --tag-display-limit 0 "$deb" 2>&1) || true
echo "$report"
! grep -q '^E: ' <<<"$report" || fail "lintian reports errors"
! grep -q ' hardening-' <<<"$report" || fail "lintian finds binaries built without hardening"
echo "lintian: $(grep -c '^W: ' <<<"$report" || true) warnings, no errors"
