# Cross-builds what the program itself needs for photos, from Debian's sources: exiv2 (with
# expat, for the photos' records), libwebp (its container library puts the records into WebP
# results) and Qt's image format plugins for TIFF and WebP, which qt6-base lacks. Sourced by
# build-windows.sh after common.sh and qt.sh.
# shellcheck shell=bash

# No DTDs: XMP packets need none, and their entities are what XML bombs are made of.
expat_options=(-DEXPAT_DTD=OFF -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF)
# The records of the formats the program writes and reads; no network, translations or tools.
exiv2_options=(-DBUILD_SHARED_LIBS=OFF -DEXIV2_ENABLE_XMP=ON -DEXIV2_ENABLE_PNG=ON
    -DEXIV2_ENABLE_BMFF=ON -DEXIV2_ENABLE_NLS=OFF -DEXIV2_ENABLE_WEBREADY=OFF
    -DEXIV2_ENABLE_CURL=OFF -DEXIV2_BUILD_SAMPLES=OFF -DEXIV2_BUILD_EXIV2_COMMAND=OFF
    -DEXIV2_BUILD_UNIT_TESTS=OFF -DEXIV2_BUILD_DOC=OFF -DEXIV2_ENABLE_VIDEO=OFF
    -DCMAKE_CXX_FLAGS=-DXML_STATIC)
webp_options=(-DBUILD_SHARED_LIBS=OFF -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF
    -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF
    -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF
    -DWEBP_BUILD_EXTRAS=OFF)
# The plugins carry their own copies of libtiff and libwebp, as Qt's Windows builds do.
imageformats_options=(-DCMAKE_BUILD_TYPE=Release -DFEATURE_system_tiff=OFF
    -DFEATURE_system_webp=OFF -DFEATURE_jasper=OFF -DFEATURE_mng=OFF)

# build_photo_libraries: prints the prefix holding exiv2, expat and libwebp, static.
build_photo_libraries() {
    local expat exiv2 webp key folder
    expat=$(unpacked_source expat)
    exiv2=$(unpacked_source exiv2)
    webp=$(unpacked_source libwebp)
    key=$(stage_key "$expat" "${expat_options[@]}" "$exiv2" "${exiv2_options[@]}" "$webp" \
        "${webp_options[@]}" "$(cat "$windows_toolchain")")
    folder="$windows_cache/photolibs-$key"
    if [ -e "$folder/.done" ]; then
        echo "$folder/prefix"
        return
    fi
    rm -rf "$folder"
    cmake_library "$expat/expat" "$folder/expat" "$folder/prefix" "${expat_options[@]}"
    cmake_library "$exiv2" "$folder/exiv2" "$folder/prefix" "${exiv2_options[@]}"
    cmake_library "$webp" "$folder/webp" "$folder/prefix" "${webp_options[@]}"
    # exiv2's pkg-config file names only itself; a static exiv2 also needs its XMP toolkit,
    # expat, zlib and the Windows libraries it calls.
    echo "Libs.private: -lexiv2-xmp -lexpat -lz -lpsapi -lws2_32 -lshell32" \
        >>"$folder/prefix/lib/pkgconfig/exiv2.pc"
    rm -rf "$folder/expat" "$folder/exiv2" "$folder/webp"
    touch "$folder/.done"
    echo "$folder/prefix"
}

# build_image_plugins QT: prints the folder holding Qt's imageformats plugins for TIFF and WebP,
# built against the cross-built Qt in QT.
build_image_plugins() {
    local qt=$1 source key folder
    source=$(unpacked_source qt6-imageformats)
    key=$(stage_key "$source" "$qt" "${imageformats_options[@]}" "$(cat "$windows_toolchain")")
    folder="$windows_cache/imageformats-$key"
    if [ -e "$folder/.done" ]; then
        echo "$folder/prefix/plugins"
        return
    fi
    rm -rf "$folder"
    cmake -S "$source" -B "$folder/build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$windows_toolchain" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$folder/prefix" "${imageformats_options[@]}" >&2
    niced cmake --build "$folder/build" --parallel "$jobs" >&2
    cmake --install "$folder/build" >&2
    rm -rf "$folder/build"
    touch "$folder/.done"
    echo "$folder/prefix/plugins"
}
