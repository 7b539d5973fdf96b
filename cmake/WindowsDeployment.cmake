# What a Windows build of the program needs beside its executables: the Qt DLLs and plugins it
# loads and the compiler's runtime DLLs that Qt's DLLs share with it. They are copied into the
# build's bin/ folder, so that the programs and tests there run as they will on Windows, and
# installed with the program (the portable zip and the installer are made from the install
# tree).

# The program shares the compiler's runtime DLLs with Qt's DLLs (one C++ runtime in the
# process), so it is not linked statically as the toolchain's other programs are.
string(REPLACE "-static" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")

# Qt's folders, from the imported targets of the Qt the build was configured with.
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_bin_dir "${qt_core_dll}" DIRECTORY)
get_filename_component(qt_prefix "${qt_bin_dir}" DIRECTORY)
set(qt_plugin_dir "${qt_prefix}/plugins")

# The compiler's runtime: libstdc++ and libgcc from the compiler, winpthread from MinGW.
set(runtime_dlls "")
foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${name}
        OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll}")
        find_file(dll_${name} ${name} PATHS "/usr/${INKVALE_MINGW_TRIPLET}/lib"
            NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
        set(dll "${dll_${name}}")
    endif()
    list(APPEND runtime_dlls "${dll}")
endforeach()

# _inkvale_deploy(<file> <folder below bin> [BUILD_ONLY]): copies <file> into the build's bin/
# folder (again when it changes) and, unless BUILD_ONLY, installs it.
function(_inkvale_deploy file folder)
    get_filename_component(name "${file}" NAME)
    configure_file("${file}" "${CMAKE_BINARY_DIR}/bin/${folder}/${name}" COPYONLY)
    if(NOT ARGN STREQUAL "BUILD_ONLY")
        install(FILES "${file}" DESTINATION "${folder}")
    endif()
endfunction()

foreach(module Core Gui Widgets Network Concurrent)
    _inkvale_deploy("${qt_bin_dir}/Qt6${module}.dll" .)
endforeach()
foreach(dll IN LISTS runtime_dlls)
    _inkvale_deploy("${dll}" .)
endforeach()
# Debian's zlib for MinGW (libz-mingw-w64), which the photos' records are compressed with.
find_file(zlib_dll zlib1.dll PATHS "/usr/${INKVALE_MINGW_TRIPLET}/lib" NO_CMAKE_FIND_ROOT_PATH
    NO_DEFAULT_PATH REQUIRED)
_inkvale_deploy("${zlib_dll}" .)
_inkvale_deploy("${qt_plugin_dir}/platforms/qwindows.dll" platforms)
_inkvale_deploy("${qt_plugin_dir}/styles/qwindowsvistastyle.dll" styles)
foreach(format gif ico jpeg)
    _inkvale_deploy("${qt_plugin_dir}/imageformats/q${format}.dll" imageformats)
endforeach()
# TIFF and WebP come from Qt's image formats module, built apart from Qt's base.
set(INKVALE_WINDOWS_IMAGE_PLUGINS "" CACHE PATH "Folder of the qtiff and qwebp plugins")
foreach(format tiff webp)
    find_file(plugin_${format} q${format}.dll PATHS "${INKVALE_WINDOWS_IMAGE_PLUGINS}"
        "${qt_plugin_dir}/imageformats" NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
    _inkvale_deploy("${plugin_${format}}" imageformats)
endforeach()
# What only the tests use: Qt Test, and the platform plugin that draws off the screen.
_inkvale_deploy("${qt_bin_dir}/Qt6Test.dll" . BUILD_ONLY)
_inkvale_deploy("${qt_plugin_dir}/platforms/qoffscreen.dll" platforms BUILD_ONLY)
