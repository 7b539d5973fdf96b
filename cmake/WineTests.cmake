# The tests of a Windows build run under Wine, in a private prefix inside the build folder, with
# a home of their own so that Wine links no folder of the real home into the prefix. The prefix
# is made once, by the fixture "wine", before the first test: a fresh one takes seconds to
# start. Include after enable_testing(); every test then needs FIXTURES_REQUIRED wine and the
# ENVIRONMENT in INKVALE_WINE_ENVIRONMENT.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "No Wine to run the tests (Debian package wine64)")
endif()
get_filename_component(wine_folder "${CMAKE_CROSSCOMPILING_EMULATOR}" DIRECTORY)
find_program(INKVALE_WINESERVER NAMES wineserver64 wineserver
    HINTS "${wine_folder}" PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(wine_home "${CMAKE_BINARY_DIR}/wine-home")
file(MAKE_DIRECTORY "${wine_home}")
set(INKVALE_WINE_ENVIRONMENT
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix"
    "WINEDEBUG=-all"
    # No menu entries or file associations on the host, no offers to install add-ons.
    "WINEDLLOVERRIDES=winemenubuilder.exe,mscoree,mshtml=d"
    "WINEARCH=win64"
    # Wine maps Windows names to Unix ones in the locale's character set: without a UTF-8
    # locale (a bare CI shell has none) names like "été" cannot exist on disk.
    "LC_ALL=C.UTF-8"
    "HOME=${wine_home}"
    "XDG_CONFIG_HOME=${wine_home}/.config"
    "XDG_DATA_HOME=${wine_home}/.local/share"
    "XDG_CACHE_HOME=${wine_home}/.cache"
    "DISPLAY="
    "WAYLAND_DISPLAY=")

set(wine_prefix_script "${CMAKE_CURRENT_LIST_DIR}/../platform-windows/wineprefix.sh")
add_test(NAME wine_prefix_start COMMAND "${wine_prefix_script}" start
    "${CMAKE_CROSSCOMPILING_EMULATOR}" "${INKVALE_WINESERVER}")
add_test(NAME wine_prefix_stop COMMAND "${wine_prefix_script}" stop
    "${CMAKE_CROSSCOMPILING_EMULATOR}" "${INKVALE_WINESERVER}")
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
    ENVIRONMENT "${INKVALE_WINE_ENVIRONMENT}")
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60
    ENVIRONMENT "${INKVALE_WINE_ENVIRONMENT}")
