# inkvale_add_windows_resources(<executable>): on Windows, the program's manifest (common
# controls 6, per-monitor DPI awareness, the user's rights) and its icon, rendered from its
# drawing at build time by INKVALE_ARTWORK_RENDERER (tools/renderartwork) when it is given.
# Nothing elsewhere.
function(inkvale_add_windows_resources target)
    if(NOT WIN32)
        return()
    endif()
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(manifest "${PROJECT_SOURCE_DIR}/cmake/inkvale.manifest")
    set(script "")
    set(depends "")
    # Microsoft's linker makes the manifest from the sources; GNU tools take it as a resource.
    if(MSVC)
        target_sources(${target} PRIVATE "${manifest}")
    else()
        string(APPEND script "1 24 \"${manifest}\"\n")
        list(APPEND depends "${manifest}")
    endif()
    if(INKVALE_ARTWORK_RENDERER)
        set(icon "${folder}/inkvale.ico")
        set(drawing "${PROJECT_SOURCE_DIR}/src/windowkit/artwork/inkvale.svg")
        add_custom_command(OUTPUT "${icon}"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
            COMMAND "${INKVALE_ARTWORK_RENDERER}" --icon "${icon}" "${drawing}"
            DEPENDS "${drawing}"
            COMMENT "Rendering the icon of ${target}"
            VERBATIM)
        string(APPEND script "1 ICON \"${icon}\"\n")
        list(APPEND depends "${icon}")
        target_sources(${target} PRIVATE "${icon}")
    endif()
    if(script)
        file(CONFIGURE OUTPUT "${folder}/resources.rc" CONTENT "${script}")
        set_source_files_properties("${folder}/resources.rc" PROPERTIES OBJECT_DEPENDS "${depends}")
        target_sources(${target} PRIVATE "${folder}/resources.rc")
    endif()
endfunction()
