#!/usr/bin/env bash
# Installs velanote into a scratch prefix with `cmake --install` and checks what lands there with
# the tools desktops, software centres, man and systemd use: each must accept it without a word.
set -euo pipefail
build=$1
here=$(dirname "$0")
. "$here/common.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

for path in "${installed_paths[@]}"; do
    [ -f "$prefix/$path" ] || fail "not installed: $path"
done
for size in 48 128 256; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x$size/apps/velanote.png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width $height" = "$size $size" ] || fail "icon ${size}x$size is ${width}x$height"
done

# Categories=AudioVideo;Audio;Utility; names two main categories, which the validator only hints at.
out=$(desktop-file-validate --no-hints "$prefix/share/applications/velanote.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"

out=$(appstreamcli validate --no-net --no-color "$prefix/share/metainfo/com.example.velanote.metainfo.xml" 2>&1) ||
    fail "appstreamcli: $out"
! grep -E '^[EWI]: ' <<<"$out" || fail "appstreamcli reports the lines above"

out=$(MANPATH=$prefix/share/man systemd-analyze verify "$prefix/lib/systemd/system/velanote-serve.service" 2>&1) ||
    fail "systemd-analyze verify: $out"
[ -z "$out" ] || fail "systemd-analyze verify: $out"
grep -qx "ExecStart=$prefix/bin/velanote serve .*" "$prefix/lib/systemd/system/velanote-serve.service" ||
    fail "the unit does not start $prefix/bin/velanote"
# Exposure 0 to 100, shown divided by ten; below 20 is the "OK" band.
out=$(systemd-analyze security --offline=yes --threshold=19 "$prefix/lib/systemd/system/velanote-serve.service" 2>&1) ||
    fail "systemd-analyze security: $(tail -1 <<<"$out")"
tail -1 <<<"$out"

out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/velanote.1.gz" 2>&1 >/dev/null) ||
    fail "man: $out"
[ -z "$out" ] || fail "man: $out"
echo "installed files accepted by desktop-file-validate, appstreamcli, systemd-analyze and man"
