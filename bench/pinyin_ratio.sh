#!/usr/bin/env bash
# Times `velanote pinyin` from start to exit on a 100-character sentence, against another velanote
# (an earlier build) reading the same sentence, alternating the two, and prints the medians and
# their ratio. Without a reference it prints this build's median alone.
# usage: bench/pinyin_ratio.sh [path/to/velanote] [path/to/reference/velanote] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${VELANOTE_BUILD_DIR:-build}
[[ "$build_dir" == /* ]] || build_dir=$here/$build_dir
velanote=${1:-$build_dir/velanote}
reference=${2:-}
rounds=${3:-21}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VELANOTE_HOME=$work/home VELANOTE_SPEECH_URL= VELANOTE_UPDATE_URL=
mkdir -p "$VELANOTE_HOME"
sentence=今天是您的生日，我在远方祝您生日快乐，身体健康，万事如意，天天开心。谢谢您多年来的养育之恩，我会好好学习，努力工作，常回家看看您和爸爸。愿您小明妈妈儿子岁岁平安，长命百岁，笑口常开，心想事成，幸福美满

# Milliseconds from starting `$1 pinyin` until it exits.
time_ms() {
    local start end
    start=$EPOCHREALTIME
    "$1" pinyin "$sentence" >/dev/null
    end=$EPOCHREALTIME
    echo "($end - $start) * 1000" | bc
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$velanote" pinyin "$sentence" >/dev/null # warm the page cache
[ -z "$reference" ] || "$reference" pinyin "$sentence" >/dev/null
ours=() theirs=()
for ((i = 0; i < rounds; i++)); do
    ours+=("$(time_ms "$velanote")")
    [ -z "$reference" ] || theirs+=("$(time_ms "$reference")")
done
a=$(printf '%s\n' "${ours[@]}" | median)
printf 'pinyin: %.1f ms (median of %d)\n' "$a" "$rounds"
if [ -n "$reference" ]; then
    b=$(printf '%s\n' "${theirs[@]}" | median)
    printf 'reference: %.1f ms\npinyin-ratio: %.3f\n' "$b" "$(echo "$a / $b" | bc -l)"
fi
