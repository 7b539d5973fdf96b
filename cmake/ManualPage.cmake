# inkvale_install_manual_page(PAGE): installs the manual page PAGE (a file beside the calling
# CMakeLists.txt, named like "name.1") compressed, as man finds it and as Debian packages
# carry it, below share/man/man<section>. The compression leaves out the file's name and
# time, so that two builds give the same bytes.
function(inkvale_install_manual_page page)
    get_filename_component(name "${page}" NAME)
    string(REGEX MATCH "[0-9]$" section "${name}")
    set(source "${CMAKE_CURRENT_SOURCE_DIR}/${page}")
    set(compressed "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND gzip -9 -n -c "${source}" > "${compressed}"
        DEPENDS "${source}"
        COMMENT "Compressing the manual page ${name}"
        VERBATIM)
    add_custom_target("manual_page_${name}" ALL DEPENDS "${compressed}")
    install(FILES "${compressed}" DESTINATION "share/man/man${section}")
endfunction()
