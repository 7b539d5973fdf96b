#!/usr/bin/env bash
# Cross-builds the platform layer (src/platform) and its tests for 64-bit Windows into
# build-windows/ and runs them under Wine, installing what that needs from Debian's archive
# when something is missing. Extra arguments go to ctest (./scripts/test-windows.sh -R toolsafe).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/install-packages.sh"

install_packages cmake ninja-build \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest \
    python3 openssl

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-windows"
cmake -S "$top/platform-windows" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DINKVALE_WERROR="${INKVALE_WERROR:-OFF}" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/mingw-w64-x86_64.cmake"
cmake --build "$build" --parallel 2
cd "$build"
# Wine's own account of a failed start comes last, where a shortened CI log still shows it.
ctest --output-on-failure --parallel 2 "$@" || {
    status=$?
    echo "--- $build/wine-prefix.log"
    tail -n 40 "$build/wine-prefix.log" 2>/dev/null
    exit $status
}
