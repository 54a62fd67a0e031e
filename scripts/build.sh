#!/usr/bin/env bash
# Configures (once) and builds velanote into build/ with Ninja: the given targets, or everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${VELANOTE_BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VELANOTE_BUILD_TYPE:-Release}" ${VELANOTE_CMAKE_ARGS:-}
fi
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
