#!/usr/bin/env bash
# Installs what is missing, builds velanote and starts it; extra arguments go to velanote.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
exec "${VELANOTE_BUILD_DIR:-build}/velanote" "$@"
