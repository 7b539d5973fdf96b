# Cross-builds G'MIC's command-line interpreter gmic.exe from Debian's gmic source, with PNG
# and JPEG (the formats the program hands it besides BMP, which it reads itself) and OpenMP.
# Prints the folder holding gmic.exe. Sourced by build-windows.sh after common.sh.
# shellcheck shell=bash

# G'MIC's own Makefile flags for its command-line tool, without a display, and -O1 rather than
# its -Ofast: gmic.cpp is one translation unit of 6 MB with the library, which -O1 compiles in a
# fraction of the time and memory. Its CMake build is not used: under MinGW it passes a linker
# flag as a compile definition.
gmic_flags=(-std=c++11 -O1 -fopenmp -Dcimg_use_openmp -Dgmic_build -Dgmic_is_parallel
    -Dcimg_use_abort -Dcimg_display=0 -Dcimg_use_zlib -Dcimg_use_png -Dcimg_use_jpeg
    '-Dcimg_date=""' '-Dcimg_time=""')
# Linked statically, so that gmic.exe needs no DLL beside it; G'MIC's deep recursion needs the
# larger stack its Makefile asks for.
gmic_link=(-static -fopenmp -lpng16 -ljpeg -lz -lgdi32 -lws2_32 -Wl,--stack,16777216)

build_gmic() {
    local libraries=$1 source key folder flags
    source=$(unpacked_source gmic)
    key=$(stage_key "$source" "$libraries" "${gmic_flags[@]}" "${gmic_link[@]}")
    folder="$windows_cache/gmic-$key"
    if [ -e "$folder/.done" ]; then
        echo "$folder"
        return
    fi
    rm -rf "$folder"
    mkdir -p "$folder"
    flags=("${gmic_flags[@]}" -I"$source/src" -I"$libraries/include")
    niced "$mingw-g++-posix" "${flags[@]}" -c "$source/src/gmic.cpp" -o "$folder/gmic.o" >&2
    niced "$mingw-g++-posix" "${flags[@]}" -c "$source/src/gmic_cli.cpp" \
        -o "$folder/gmic_cli.o" >&2
    "$mingw-g++-posix" -o "$folder/gmic.exe" "$folder/gmic_cli.o" "$folder/gmic.o" \
        -L"$libraries/lib" "${gmic_link[@]}" >&2
    "$mingw-strip" "$folder/gmic.exe"
    cp "$source/COPYING" "$folder/COPYING.txt"
    rm "$folder"/*.o
    touch "$folder/.done"
    echo "$folder"
}
