#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and runs every test.
set -euo pipefail
# A warning fails the build here, and so in CI.
export INKVALE_WERROR=ON
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel 2 "$@"
"$top/scripts/test-windows.sh"
# The whole Windows program, when this machine has its cross-built Qt and tools cached from an
# earlier ./scripts/build-windows.sh: building them afresh takes longer than CI allows.
source "$top/scripts/windows/common.sh"
if windows_cache_ready; then
    "$top/scripts/build-windows.sh"
fi
