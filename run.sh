#!/usr/bin/env bash
# Installs what is missing, builds velanote and starts it; extra arguments go to velanote, which
# runs in the caller's folder (so relative paths in them mean what the caller meant).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh"
"$here/scripts/build.sh" velanote
build_dir=${VELANOTE_BUILD_DIR:-build}
[[ "$build_dir" == /* ]] || build_dir=$here/$build_dir
exec "$build_dir/velanote" "$@"
