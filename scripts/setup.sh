#!/usr/bin/env bash
# Installs what the build needs from Debian's archive (when something is missing), then
# configures and builds into build/. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
    libgtest-dev
    gmic
    libcurl4-openssl-dev libpcre2-dev libsystemd-dev
    # Photos: their metadata (exiv2), HEIC and AVIF (libheif with its HEVC and AV1 codecs),
    # the records of WebP results (libwebpmux).
    libexiv2-dev libheif-dev libwebp-dev zlib1g-dev
    # The tests' stand-in for the maker's web service (tools/webstandin) and its certificate.
    python3 openssl
    # A private session bus for the tests of the file-manager requests.
    dbus-daemon
    # Checks of the menu entry and the software-centre metadata.
    appstream desktop-file-utils
    # The Debian package (cpack -G DEB): dependencies from dpkg-shlibdeps; cpack finds the
    # programs in it with file; lintian checks it as Debian's archive would.
    dpkg-dev file lintian
)

source "$(dirname "${BASH_SOURCE[0]}")/install-packages.sh"
install_packages "${packages[@]}"

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build"
# INKVALE_WERROR=ON in the environment (test.sh sets it) makes every warning an error.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DINKVALE_WERROR="${INKVALE_WERROR:-OFF}"
cmake --build "$build" --parallel
