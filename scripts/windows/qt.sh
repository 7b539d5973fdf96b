# Cross-builds Qt's base modules for 64-bit Windows from Debian's qt6-base source, with
# Debian's own Qt 6 as host tools. Prints the installed prefix. Sourced by build-windows.sh
# after common.sh.
# shellcheck shell=bash

# Not needed by the program, so left out to save build time: SQL, D-Bus, printing, XML, OpenGL,
# Vulkan, the Direct2D platform plugin, TUIO touch. Network stays for its local sockets (the
# second start's handover), TLS does not. The dfsg source lacks wintab, hence no tablet events;
# DirectWrite 3 would need the font database that only Direct2D builds; freetype is what the
# offscreen platform plugin draws with. Everything Qt bundles is built from its own copy, as
# the target has no system libraries.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64
    -DCMAKE_C_COMPILER="$mingw-gcc-posix" -DCMAKE_CXX_COMPILER="$mingw-g++-posix"
    -DCMAKE_RC_COMPILER="$mingw-windres"
    -DCMAKE_FIND_ROOT_PATH="/usr/$mingw"
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_directwrite3=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_tuiotouch=OFF
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_md4c=OFF -DFEATURE_system_libb2=OFF
)

build_qt() {
    local source key folder build
    source=$(unpacked_source qt6-base)
    key=$(stage_key "$source" "${qt_options[@]}")
    folder="$windows_cache/qt-$key"
    if [ -e "$folder/.done" ]; then
        echo "$folder/prefix"
        return
    fi
    # One build folder for every configuration: a changed option reconfigures it and rebuilds
    # only what the change touches.
    build="$windows_cache/qt-build"
    # Qt's configure takes minutes even when nothing changed: it runs only for new options.
    if [ "$(cat "$build/.options" 2>/dev/null)" != "$key" ]; then
        rm -f "$build/.options"
        cmake -S "$source" -B "$build" -G Ninja -Wno-dev "${qt_options[@]}" >&2
        echo "$key" >"$build/.options"
    fi
    niced cmake --build "$build" --parallel "$jobs" >&2
    rm -rf "$folder"
    cmake --install "$build" --prefix "$folder/prefix" >&2
    touch "$folder/.done"
    echo "$folder/prefix"
}
