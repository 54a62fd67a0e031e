#!/usr/bin/env bash
# Installs the package that check_deb.sh built with apt-get, as a user would, and tries it: the
# version, a dry run, the service unit's own command line on a free port answering one clip to the
# installed program, and the per-user program folder. Then removes the package and checks that
# nothing of it is left.
set -euo pipefail
build=$1
here=$(dirname "$0")
. "$here/common.sh"
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing a package needs root (CI runs as root)"
    exit 77
fi
debs=("$build"/package/velanote_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $build/package (check_deb.sh builds it)"
deb=${debs[0]}

# One package test at a time on this machine: other checkouts may run theirs.
exec 9>/run/lock/velanote-package-test.lock
flock -w 900 9 || fail "another package test holds /run/lock/velanote-package-test.lock"
status() { dpkg-query -W -f='${db:Status-Status}' velanote 2>/dev/null || true; }
if [ "$(status)" = installed ]; then
    echo "skipped: velanote is already installed on this machine, and this test does not replace it"
    exit 77
fi

scratch=$(mktemp -d)
service=
cleanup() {
    [ -z "$service" ] || kill "$service" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 velanote >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt-get install $deb"; }
files=$(dpkg -L velanote)

# Built hardened: full RELRO with BIND_NOW, the stack protector and fortified functions.
for program in "${programs[@]}"; do
    path=/usr/$program
    headers=$(readelf -lW "$path")
    dynamic=$(readelf -dW "$path")
    symbols=$(readelf -W --dyn-syms "$path")
    grep -q GNU_RELRO <<<"$headers" || fail "$path has no RELRO"
    grep -Eq '\(FLAGS(_1)?\).*NOW' <<<"$dynamic" || fail "$path is not linked with BIND_NOW"
    grep -q __stack_chk_fail <<<"$symbols" || fail "$path has no stack protector"
done
grep -q '__[a-z0-9_]*_chk@' <<<"$(readelf -W --dyn-syms "/usr/$libdir/velanote/velanote-desktop")" ||
    fail "velanote-desktop calls no fortified function"
echo "hardened: RELRO, BIND_NOW, stack protector, fortified functions"

# An administrator enables the shared service; purging the package must take the enable link too.
wants=/etc/systemd/system/multi-user.target.wants/velanote-serve.service
systemctl enable velanote-serve.service >/dev/null 2>&1 || fail "systemctl enable velanote-serve.service"
[ -L "$wants" ] || fail "systemctl enable made no link at $wants"

version=$(dpkg-deb -f "$deb" Version)
[ "$(velanote --version)" = "velanote $version" ] || fail "velanote --version says: $(velanote --version)"
echo "velanote --version: $(velanote --version)"

# A clean environment, as a user who never ran velanote has.
unset VELANOTE_HOME VELANOTE_SPEECH_URL VELANOTE_UPDATE_URL XDG_DATA_HOME
export HOME=$scratch/home
mkdir -p "$HOME"
greeting=(--sender 小红 --recipient 小明 --relation 妈妈 --message 生日快乐)
dry=$(velanote speak "${greeting[@]}" --jingle 2 --dry-run) || fail "speak --dry-run: $dry"
grep -q '^语音文本: .*小明.*生日快' <<<"$dry" || fail "speak --dry-run printed: $dry"
# The readings table is built into the program: the installed copy needs no lexicon files.
grep -q '^reading: .*sheng1 ri4 kuai4 le4' <<<"$dry" || fail "speak --dry-run printed: $dry"
[ "$(velanote pinyin 生日快乐)" = "sheng1 ri4 kuai4 le4" ] || fail "velanote pinyin 生日快乐 says: $(velanote pinyin 生日快乐)"

# The service unit's command line, with its own defaults, on a free port (0).
unit=/lib/systemd/system/velanote-serve.service
[ -f "$unit" ] || unit=/usr/lib/systemd/system/velanote-serve.service
defaults=$(sed -n 's/^Environment=//p' "$unit")
command=$(sed -n 's/^ExecStart=//p' "$unit")
(
    while read -r line; do
        eval "export $line"
    done <<<"$defaults"
    export VELANOTE_PORT=0
    eval "exec $command"
) >"$scratch/serve.out" 2>"$scratch/serve.err" &
service=$!
for _ in $(seq 100); do
    grep -q '^http://' "$scratch/serve.out" && break
    kill -0 "$service" 2>/dev/null || { cat "$scratch/serve.err"; fail "the service stopped"; }
    sleep 0.1
done
url=$(head -1 "$scratch/serve.out")
[[ "$url" == http://127.0.0.1:* ]] || fail "the service listens on '$url', not 127.0.0.1"
echo "service: $command -> $url"

VELANOTE_SPEECH_URL=$url velanote speak "${greeting[@]}" --jingle 2 --output "$scratch/hello.mp3" >"$scratch/speak.out" 2>&1 ||
    { cat "$scratch/speak.out"; fail "speak through the service"; }
folder=$HOME/.local/share/velanote
[ -s "$folder/sc/2.mp3" ] || fail "the installed program did not use the per-user folder $folder"
[ ! -e /usr/bin/sc ] || fail "the installed program wrote into /usr/bin"
jingle=$(stat -c %s "$folder/sc/2.mp3")
size=$(stat -c %s "$scratch/hello.mp3")
[ "$size" -gt $((jingle + 1000)) ] || fail "hello.mp3 has $size bytes, the jingle alone $jingle"
grep -q 'GET /tts/' "$scratch/serve.err" || fail "the service logged no clip request"
kill "$service"
wait "$service" || fail "the service did not stop cleanly on SIGTERM"
service=
echo "message through the unit's command line: $size bytes (jingle $jingle)"

apt-get purge -y -qq -o DPkg::Lock::Timeout=300 velanote >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log"; fail "apt-get purge velanote"; }
[ "$(status)" != installed ] || fail "still installed"
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "left behind: $path"
done <<<"$files"
[ ! -e /usr/share/doc/velanote ] || fail "left behind: /usr/share/doc/velanote"
[ ! -L "$wants" ] && [ ! -e "$wants" ] || fail "left behind: $wants -> $(readlink "$wants")"
[ ! -e /etc/systemd/system/velanote-serve.service ] || fail "left behind: the mask of velanote-serve.service"
echo "installed, used and removed cleanly"
