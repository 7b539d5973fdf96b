# The hardening Debian builds its packages with, for every program and test of this build
# on Linux: checked buffer functions (fortify), stack protection, position-independent
# executables, and relocations resolved and made read-only at start (relro, bindnow).
if(WIN32)
    return()
endif()
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# Fortify needs the optimiser: without it (a Debug build, or none named) it would only warn.
add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)
