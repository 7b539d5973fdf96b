# Finds the G'MIC command-line tool and places it as gmic/gmic beside the built executables,
# where the program looks for it. The Windows build copies the gmic.exe it is given
# (INKVALE_GMIC_EXECUTABLE, cross-built by scripts/build-windows.sh) into gmic\ and ships it
# there with its licence.
if(WIN32)
    set(INKVALE_GMIC_EXECUTABLE "" CACHE FILEPATH "The G'MIC command-line tool gmic.exe")
    if(INKVALE_GMIC_EXECUTABLE)
        message(STATUS "Image tool: ${INKVALE_GMIC_EXECUTABLE}")
        configure_file("${INKVALE_GMIC_EXECUTABLE}" "${CMAKE_BINARY_DIR}/bin/gmic/gmic.exe"
            COPYONLY)
        get_filename_component(gmic_folder "${INKVALE_GMIC_EXECUTABLE}" DIRECTORY)
        install(PROGRAMS "${INKVALE_GMIC_EXECUTABLE}" DESTINATION gmic)
        install(FILES "${gmic_folder}/COPYING.txt" DESTINATION gmic OPTIONAL)
    endif()
else()
    find_program(INKVALE_GMIC_EXECUTABLE NAMES gmic
        DOC "The G'MIC command-line tool that performs every effect")
    if(NOT INKVALE_GMIC_EXECUTABLE)
        message(FATAL_ERROR
            "The G'MIC command-line tool was not found. Install it (Debian: apt-get install "
            "gmic) or point INKVALE_GMIC_EXECUTABLE at a gmic executable.")
    endif()
    message(STATUS "Image tool: ${INKVALE_GMIC_EXECUTABLE}")

    file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/bin/gmic")
    file(CREATE_LINK "${INKVALE_GMIC_EXECUTABLE}" "${CMAKE_BINARY_DIR}/bin/gmic/gmic" SYMBOLIC)
endif()

# Installs an executable as <prefix>/lib/inkvale/<name> with the tool link gmic/gmic beside
# it, and a link <prefix>/bin/<name> to start it by. The executable cannot live in bin/
# itself: there gmic/ would have to sit beside the system's own gmic.
set(INKVALE_INSTALL_DIR "lib/inkvale")
function(inkvale_install_program target)
    if(WIN32)
        install(TARGETS ${target} RUNTIME DESTINATION .)
        return()
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION "${INKVALE_INSTALL_DIR}")
    # The tool link is relative where the tool lies in the same top-level folder as the
    # program (/usr, for the package), as Debian wants links within one; absolute otherwise.
    install(CODE "
        set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        file(MAKE_DIRECTORY \"\${root}/${INKVALE_INSTALL_DIR}/gmic\" \"\${root}/bin\")
        set(tool \"${INKVALE_GMIC_EXECUTABLE}\")
        set(tool_folder \"\${CMAKE_INSTALL_PREFIX}/${INKVALE_INSTALL_DIR}/gmic\")
        string(REGEX MATCH \"^/[^/]+\" tool_top \"\${tool}\")
        string(REGEX MATCH \"^/[^/]+\" folder_top \"\${tool_folder}\")
        if(tool_top STREQUAL folder_top)
            file(RELATIVE_PATH tool \"\${tool_folder}\" \"\${tool}\")
        endif()
        file(CREATE_LINK \"\${tool}\" \"\${root}/${INKVALE_INSTALL_DIR}/gmic/gmic\" SYMBOLIC)
        file(CREATE_LINK \"../${INKVALE_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>\"
             \"\${root}/bin/$<TARGET_FILE_NAME:${target}>\" SYMBOLIC)
    ")
    # A stripped install (the Debian package) also drops the compilers' notes, as Debian's
    # own packages do: the .comment and .note sections serve nobody at run time.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${INKVALE_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()
    ")
endfunction()
