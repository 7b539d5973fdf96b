#!/usr/bin/env bash
# Builds Inkvale for 64-bit Windows on Debian 12, from Debian's packages and source packages
# only, tests it under Wine and makes its two packages:
#   build-windows-program/packages/Inkvale-<version>-windows-x64.zip        portable
#   build-windows-program/packages/Inkvale-<version>-windows-x64-setup.exe  per-user installer
# Qt, libpng, libjpeg-turbo, PCRE2 and gmic.exe are cross-built into a cache outside the
# repository (INKVALE_WINDOWS_CACHE, default /var/cache/inkvale-windows), each rebuilt only when
# its sources or options change. Extra arguments go to ctest; --no-tests skips the tests.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/scripts/install-packages.sh"
source "$top/scripts/windows/common.sh"
source "$top/scripts/windows/qt.sh"
source "$top/scripts/windows/libs.sh"
source "$top/scripts/windows/gmic.sh"
source "$top/scripts/windows/photolibs.sh"

run_tests=1
if [ "${1:-}" = --no-tests ]; then
    run_tests=0
    shift
fi

# Cross compilers and their zlib, Wine to test, NSIS and zip to package; Debian's own Qt for
# the host tools (moc, rcc, uic) and the renderer of the drawings; dpkg-dev for apt-get source;
# for the check under Wine a virtual display, ImageMagick, bc and the Linux G'MIC; a font for
# the window tests on the offscreen platform.
install_packages cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    libz-mingw-w64-dev nasm wine64 nsis zip dpkg-dev qt6-base-dev qt6-svg-dev \
    xvfb xauth imagemagick bc gmic fonts-dejavu-core
ensure_deb_src
mkdir -p "$windows_cache"
windows_toolchain="$top/cmake/toolchains/mingw-w64-x86_64.cmake"

qt=$(build_qt)
libraries=$(build_libraries)
gmic=$(build_gmic "$libraries")
photo_libraries=$(build_photo_libraries)
image_plugins=$(build_image_plugins "$qt")

build="$top/build-windows-program"
mkdir -p "$build"
# The drawings are rendered by a build of tools/renderartwork for this machine.
cmake -S "$top/tools/renderartwork" -B "$build/host" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/host"

# The cross toolchain, with the cross-built Qt and libraries where it looks for packages.
cat >"$build/toolchain.cmake" <<TOOLCHAIN
include("$windows_toolchain")
list(APPEND CMAKE_FIND_ROOT_PATH "$qt" "$libraries" "$photo_libraries")
TOOLCHAIN
# The libraries are static, so pkg-config names what they link in turn.
PKG_CONFIG_LIBDIR="$libraries/lib/pkgconfig:$photo_libraries/lib/pkgconfig:/usr/$mingw/lib/pkgconfig" \
    cmake -S "$top" -B "$build/program" -G Ninja -DPKG_CONFIG_ARGN=--static \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake" \
    -DINKVALE_WINDOWS_IMAGE_PLUGINS="$image_plugins/imageformats" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DINKVALE_ARTWORK_RENDERER="$build/host/renderartwork" \
    -DINKVALE_GMIC_EXECUTABLE="$gmic/gmic.exe"
niced cmake --build "$build/program" --parallel "$jobs"

if ((run_tests)); then
    (cd "$build/program" && ctest --output-on-failure --parallel 2 "$@")
fi
"$top/scripts/windows/package.sh" "$build/program" "$build/packages" \
    "$(unpacked_source qt6-base)"
if ((run_tests)); then
    "$top/scripts/windows/wine-check.sh" "$build/packages/Inkvale" "$build/check"
fi
# From now on ./scripts/test.sh builds and tests the Windows program too, once it has passed.
if ((run_tests)); then
    touch "$windows_cache/ready"
fi
