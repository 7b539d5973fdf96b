#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 "$@"
"$top/scripts/test-windows.sh"
