#!/usr/bin/env bash
# Times how long velanote takes from its start until its splash window is mapped, against a minimal
# Qt Widgets program showing a window of the same size, alternating the two on one X server, and
# prints the medians and their ratio. Without a display it runs itself under xvfb-run.
# usage: bench/start_ratio.sh [path/to/velanote] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build_dir=${VELANOTE_BUILD_DIR:-build}
[[ "$build_dir" == /* ]] || build_dir=$here/$build_dir
velanote=${1:-$build_dir/velanote}
reference=$build_dir/bench_minimal_window
rounds=${2:-11}
for tool in xev bc; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)" >&2; exit 1; }
done
[ -x "$reference" ] || { echo "missing $reference (scripts/build.sh bench_minimal_window)" >&2; exit 1; }

work=$(mktemp -d)
export VELANOTE_HOME=$work/home VELANOTE_SPEECH_URL= VELANOTE_UPDATE_URL=
mkdir -p "$VELANOTE_HOME"

# Every window mapped on the screen, one line each, as it happens.
coproc WATCH { xev -root -event substructure | grep --line-buffered '^MapNotify'; }
watcher=$WATCH_PID
trap 'kill $watcher 2>/dev/null; rm -rf "$work"' EXIT
sleep 0.5

# Milliseconds from starting the program $@ until it maps its first window.
time_to_map() {
    local line start end
    # What earlier programs left is not this one's.
    while read -r -t 0.3 line <&"${WATCH[0]}"; do :; done
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 &
    local pid=$!
    read -r -t 30 line <&"${WATCH[0]}" || { echo "no window from $1" >&2; kill $pid; exit 1; }
    end=$EPOCHREALTIME
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null || true
    echo "(${end/./} - ${start/./}) / 1000" | bc
}
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One uncounted start of each: the program folder is prepared and the file caches are warm.
time_to_map "$velanote" >/dev/null
time_to_map "$reference" >/dev/null
velanote_ms=()
reference_ms=()
for ((i = 0; i < rounds; i++)); do
    # Alternating the order keeps drifts of the machine's load out of the ratio.
    if ((i % 2 == 0)); then
        velanote_ms+=("$(time_to_map "$velanote")")
        reference_ms+=("$(time_to_map "$reference")")
    else
        reference_ms+=("$(time_to_map "$reference")")
        velanote_ms+=("$(time_to_map "$velanote")")
    fi
done
v=$(printf '%s\n' "${velanote_ms[@]}" | median)
r=$(printf '%s\n' "${reference_ms[@]}" | median)
echo "splash-mapped-median: $v ms"
echo "minimal-window-mapped-median: $r ms"
echo "start-ratio: $(echo "scale=2; $v / $r" | bc)"
