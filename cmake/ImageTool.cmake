# Finds the G'MIC command-line tool and places it as gmic/gmic beside the built executables,
# where the program looks for it.
if(WIN32)
    # On Windows the user places gmic.exe in gmic\ beside the executable (see README).
    return()
endif()

find_program(INKVALE_GMIC_EXECUTABLE NAMES gmic
    DOC "The G'MIC command-line tool that performs every effect")
if(NOT INKVALE_GMIC_EXECUTABLE)
    message(FATAL_ERROR
        "The G'MIC command-line tool was not found. Install it (Debian: apt-get install gmic) "
        "or point INKVALE_GMIC_EXECUTABLE at a gmic executable.")
endif()
message(STATUS "Image tool: ${INKVALE_GMIC_EXECUTABLE}")

set(INKVALE_TOOL_LINK "${CMAKE_BINARY_DIR}/bin/gmic/gmic")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/bin/gmic")
file(CREATE_LINK "${INKVALE_GMIC_EXECUTABLE}" "${INKVALE_TOOL_LINK}" SYMBOLIC)
