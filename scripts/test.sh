#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite offscreen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVEL_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 900
