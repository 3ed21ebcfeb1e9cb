#!/usr/bin/env bash
# Configures and builds into build/ (or $DORVEL_BUILD_DIR); the program directory is build/dist/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVEL_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" --parallel "$(nproc)"
