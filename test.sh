#!/usr/bin/env bash
# Installs what is missing, builds velanote and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
cd "${VELANOTE_BUILD_DIR:-build}"
ctest --output-on-failure --timeout 300 "$@"
