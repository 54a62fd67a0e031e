#!/usr/bin/env bash
# Times `velanote speak` for a 100-character sentence against the shell pipeline
# `espeak-ng | sox | lame` making an MP3 of the same sentence in the same format (the same voice,
# 11025 Hz mono, 16 kbit/s), alternating the two, and prints the medians and their ratio.
# usage: bench/speak_ratio.sh [path/to/velanote] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${VELANOTE_BUILD_DIR:-build}
[[ "$build_dir" == /* ]] || build_dir=$here/$build_dir
velanote=${1:-$build_dir/velanote}
rounds=${2:-9}
for tool in espeak-ng sox lame; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VELANOTE_HOME=$work/home VELANOTE_SPEECH_URL= VELANOTE_UPDATE_URL=
mkdir -p "$VELANOTE_HOME"

# The sentence velanote speaks is built from the four inputs; these make it 100 characters long.
args=(--sender 小明 --recipient 妈妈 --relation 儿子
      --message 今天是您的生日，我在远方祝您生日快乐，身体健康，万事如意，天天开心。谢谢您多年来的养育之恩，我会好好学习，努力工作，常回家看看您和爸爸。愿您)
preview=$("$velanote" speak "${args[@]}" --dry-run)
sentence=$(sed -n 's/^语音文本: //p' <<<"$preview")
# The pipeline speaks the reading velanote hands to the synthesiser, so both make the same audio.
reading=$(sed -n 's/^reading: //p' <<<"$preview")
length=$(printf '%s' "$sentence" | wc -m)
[ "$length" -eq 100 ] || { echo "the sentence has $length characters, not 100: $sentence" >&2; exit 1; }

velanote_run() {
    "$velanote" speak "${args[@]}" --output "$work/velanote.mp3" >/dev/null
}
pipeline_run() {
    espeak-ng -v cmn-latn-pinyin --stdout "$reading" | sox -q -V1 -t wav - -r 11025 -t wav - |
        lame --quiet -m m -b 16 -q 7 -t - "$work/pipeline.mp3"
}
# Milliseconds one call of $1 takes.
timed() {
    local start=$EPOCHREALTIME
    "$1"
    local end=$EPOCHREALTIME
    echo "(${end/./} - ${start/./}) / 1000" | bc
}
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One uncounted round of each, so that both start from warm file caches.
velanote_run
pipeline_run
velanote_ms=()
pipeline_ms=()
for ((i = 0; i < rounds; i++)); do
    # Alternating the order keeps drifts of the machine's load out of the ratio.
    if ((i % 2 == 0)); then
        velanote_ms+=("$(timed velanote_run)")
        pipeline_ms+=("$(timed pipeline_run)")
    else
        pipeline_ms+=("$(timed pipeline_run)")
        velanote_ms+=("$(timed velanote_run)")
    fi
done
v=$(printf '%s\n' "${velanote_ms[@]}" | median)
p=$(printf '%s\n' "${pipeline_ms[@]}" | median)
echo "sentence-length: $length characters"
echo "velanote-speak-median: $v ms ($(stat -c %s "$work/velanote.mp3") bytes)"
echo "pipeline-median: $p ms ($(stat -c %s "$work/pipeline.mp3") bytes)"
echo "speak-ratio: $(echo "scale=2; $v / $p" | bc)"
