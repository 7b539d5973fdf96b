# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (packages g++-mingw-w64-x86-64-posix
# and binutils-mingw-w64-x86-64). The "-posix" compilers carry std::thread; the "-win32" ones
# do not. Built programs run under Wine when it is installed (package wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(INKVALE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${INKVALE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${INKVALE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${INKVALE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${INKVALE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime (libstdc++, libgcc, winpthread) is linked in, so that a built
# program runs without DLLs from the compiler's folder beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and try_run start the built programs through Wine; Debian keeps the 64-bit loader
# outside PATH.
find_program(INKVALE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(INKVALE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${INKVALE_WINE}")
endif()
