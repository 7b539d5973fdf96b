# inkvale_add_artwork(<target> <resource> BASE <folder> FILES <drawing.svg>...)
#
# Puts the program's drawings under :/artwork/ in <target>'s resources. Where Qt has its SVG
# module they go in as they are; where it has none (the Windows build made on Linux) each
# becomes <name>.png and <name>@2x.png, rendered at build time by the build machine's renderer
# INKVALE_ARTWORK_RENDERER (tools/renderartwork). src/windowkit/artwork.cpp takes either.
function(inkvale_add_artwork target resource)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "BASE" "FILES")
    if(TARGET Qt6::Svg)
        qt_add_resources(${target} ${resource} PREFIX "/artwork" BASE ${arg_BASE}
            FILES ${arg_FILES})
        return()
    endif()
    if(NOT INKVALE_ARTWORK_RENDERER)
        message(FATAL_ERROR "Without Qt's SVG module the drawings are rendered by "
            "tools/renderartwork built for the build machine: pass "
            "-DINKVALE_ARTWORK_RENDERER=<its path>")
    endif()
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/${resource}")
    file(MAKE_DIRECTORY "${folder}")
    set(pictures "")
    foreach(drawing IN LISTS arg_FILES)
        get_filename_component(name "${drawing}" NAME_WE)
        set(rendered "${folder}/${name}.png" "${folder}/${name}@2x.png")
        add_custom_command(OUTPUT ${rendered}
            COMMAND "${INKVALE_ARTWORK_RENDERER}" "${folder}"
                "${CMAKE_CURRENT_SOURCE_DIR}/${drawing}"
            DEPENDS "${drawing}"
            COMMENT "Rendering ${drawing}"
            VERBATIM)
        list(APPEND pictures ${rendered})
    endforeach()
    qt_add_resources(${target} ${resource} PREFIX "/artwork" BASE "${folder}"
        FILES ${pictures})
endfunction()
