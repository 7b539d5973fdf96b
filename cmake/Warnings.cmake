# The warnings our code is built with, kept at zero; the main build and the Windows build of
# the platform layer (platform-windows/) include this before adding their targets. With
# INKVALE_WERROR (scripts/test.sh, hence CI, turns it on) a warning fails the build.
option(INKVALE_WERROR "Treat compiler warnings as errors" OFF)

if(MSVC)
    add_compile_options(/W4 /utf-8)
    if(INKVALE_WERROR)
        add_compile_options(/WX)
    endif()
    set(INKVALE_STRICT_WARNINGS "")
else()
    add_compile_options(-Wall -Wextra)
    if(INKVALE_WERROR)
        add_compile_options(-Werror)
    endif()
    # Beyond those, for the code that has been made to pass them (src/ so far): the tests and
    # tools take them once they do too.
    set(INKVALE_STRICT_WARNINGS -Wpedantic -Wshadow -Wconversion
        $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>)
endif()
