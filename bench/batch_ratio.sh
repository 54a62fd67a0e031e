#!/usr/bin/env bash
# Times `velanote speak --batch` over a 50-row list (three rows of it bad, skipped) one row at a
# time (--jobs 1) and with as many rows at once as there are cores, alternating the two, and prints
# the medians and the speed-up.
# usage: bench/batch_ratio.sh [path/to/velanote] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${VELANOTE_BUILD_DIR:-build}
[[ "$build_dir" == /* ]] || build_dir=$here/$build_dir
velanote=${1:-$build_dir/velanote}
rounds=${2:-3}
cores=$(nproc)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VELANOTE_HOME=$work/home VELANOTE_SPEECH_URL= VELANOTE_UPDATE_URL=
mkdir -p "$VELANOTE_HOME"

# Fifty greetings, each text its own (so no clip is served from the store), three rows bad.
{
    echo "sender,recipient,relation,message"
    for ((i = 1; i <= 50; i++)); do
        case $i in
        7) echo "小明,,朋友,没有接收人" ;;
        19) echo "小明,同事$i" ;;
        33) echo ",朋友$i,同学,没有发送人" ;;
        *) echo "小明,亲友$i,朋友,\"祝您新年快乐,身体健康,万事如意,这是第${i}封问候\"" ;;
        esac
    done
} >"$work/list.csv"

batch_run() {
    rm -rf "$work/out"
    "$velanote" speak --batch "$work/list.csv" --output-dir "$work/out" --skip-bad --jobs "$1" \
        >/dev/null 2>&1 || [ $? -eq 2 ] # 2: the bad rows were skipped
    [ "$(ls "$work/out" | wc -l)" -eq 47 ] || { echo "not 47 files with --jobs $1" >&2; exit 1; }
}
# Milliseconds one batch takes with $1 rows at once.
timed() {
    local start=$EPOCHREALTIME
    batch_run "$1"
    local end=$EPOCHREALTIME
    echo "(${end/./} - ${start/./}) / 1000" | bc
}
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

batch_run 1
one=()
many=()
for ((i = 0; i < rounds; i++)); do
    if ((i % 2 == 0)); then
        one+=("$(timed 1)")
        many+=("$(timed "$cores")")
    else
        many+=("$(timed "$cores")")
        one+=("$(timed 1)")
    fi
done
o=$(printf '%s\n' "${one[@]}" | median)
m=$(printf '%s\n' "${many[@]}" | median)
echo "rows: 47 made, 3 skipped; cores: $cores"
echo "one-at-a-time-median: $o ms"
echo "jobs-$cores-median: $m ms"
echo "batch-speed-up: $(echo "scale=2; $o / $m" | bc)"
