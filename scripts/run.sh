#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program from its program directory.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
exec "${DORVEL_BUILD_DIR:-$top/build}/dist/dorvel-calendar"
