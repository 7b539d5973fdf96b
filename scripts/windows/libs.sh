# Cross-builds the libraries that gmic.exe and the program link statically, from Debian's
# sources: libpng, libjpeg-turbo and PCRE2 (zlib is Debian's libz-mingw-w64-dev). Prints the
# installed prefix. Sourced by build-windows.sh after common.sh.
# shellcheck shell=bash

# cmake_library SOURCE BUILD PREFIX OPTION...: a static Release build of one library, which
# finds the libraries installed into PREFIX before it.
cmake_library() {
    local source=$1 build=$2 prefix=$3
    shift 3
    mkdir -p "$build"
    # The toolchain names the compiler's own folder as the only root to search.
    cat >"$build/toolchain.cmake" <<TOOLCHAIN
include("$windows_toolchain")
list(APPEND CMAKE_FIND_ROOT_PATH "$prefix")
TOOLCHAIN
    cmake -S "$source" -B "$build" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" "$@" >&2
    niced cmake --build "$build" --parallel "$jobs" >&2
    cmake --install "$build" >&2
}

png_options=(-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF)
jpeg_options=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF)
pcre2_options=(-DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DPCRE2_BUILD_PCRE2GREP=OFF
    -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=ON)

build_libraries() {
    local png jpeg pcre2 key folder
    png=$(unpacked_source libpng1.6)
    jpeg=$(unpacked_source libjpeg-turbo)
    pcre2=$(unpacked_source pcre2)
    key=$(stage_key "$png" "${png_options[@]}" "$jpeg" "${jpeg_options[@]}" "$pcre2" \
        "${pcre2_options[@]}" "$(cat "$windows_toolchain")")
    folder="$windows_cache/libs-$key"
    if [ -e "$folder/.done" ]; then
        echo "$folder/prefix"
        return
    fi
    rm -rf "$folder"
    cmake_library "$png" "$folder/png" "$folder/prefix" "${png_options[@]}"
    cmake_library "$jpeg" "$folder/jpeg" "$folder/prefix" "${jpeg_options[@]}"
    cmake_library "$pcre2" "$folder/pcre2" "$folder/prefix" "${pcre2_options[@]}"
    rm -rf "$folder/png" "$folder/jpeg" "$folder/pcre2"
    touch "$folder/.done"
    echo "$folder/prefix"
}
