# Gives executables their version record, from which the program reads its own name, maker and
# version (src/platform/versionrecord.h). The values come from the project:
#   PROJECT_VERSION        version, a[.b[.c[.d]]], each part 0..65535
#   INKVALE_COMPANY_NAME   CompanyName, and the holder in LegalCopyright
#   INKVALE_PRODUCT_NAME   ProductName, FileDescription and InternalName
#   INKVALE_LEGAL_COPYRIGHT  optional; default "Copyright (C) <current year> <company>"
#
# inkvale_add_version_info(<target>
#     [VERSION <a.b.c.d>]                   instead of PROJECT_VERSION
#     [TRANSLATIONS <"LLLL CCCC">...]       language and code page in hex; default "0409 04E4"
#     [STRINGS <"LLLLCCCC|Name|Value">...]) add or replace a string under one translation
#
# The standard strings (CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
# OriginalFilename, ProductName, ProductVersion) go under the first translation; STRINGS may
# name any translation of the table. Values cannot hold ";" (CMake lists).
#
# Windows: a VERSIONINFO resource (cmake/versioninfo.rc.in) compiled into the target.
# Elsewhere: the same record in the ELF section ".inkvale.version"
# (cmake/versioninfo_section.cpp.in): "InkvaleVersionRecord/1" NUL, then NUL-terminated
# "<sub-block path>" TAB "<value>" entries:
#   \                                        1.1.0.0
#   \VarFileInfo\Translation                 0409 04E4
#   \StringFileInfo\040904E4\CompanyName     TAVRINO
# src/platform/versionrecord_posix.cpp reads it back.

set_property(GLOBAL PROPERTY INKVALE_VERSION_INFO_TEMPLATES "${CMAKE_CURRENT_LIST_DIR}")
if(WIN32)
    enable_language(RC)
endif()

# Escapes `text` for a C string literal (`quote` is how a double quote is written: \" in C++,
# "" in a resource script) and keeps file(GENERATE) from reading "$<" in it as an expression.
function(_inkvale_version_info_escape out text quote)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "${quote}" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    string(REPLACE "\r" "\\r" text "${text}")
    string(REPLACE "\t" "\\t" text "${text}")
    string(REPLACE "$<" "$<1:$><" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Adds or replaces the string `name` under `key` in the caller's names_<key>, lower_<key> and
# value_<key>_<index>. A function, not a macro, so that values are not expanded a second time.
function(_inkvale_version_info_set key name value)
    string(TOLOWER "${name}" lower)
    set(names "${names_${key}}")
    set(lowers "${lower_${key}}")
    list(FIND lowers "${lower}" index)
    if(index EQUAL -1)
        list(LENGTH names index)
        list(APPEND names "${name}")
        list(APPEND lowers "${lower}")
        set(names_${key} "${names}" PARENT_SCOPE)
        set(lower_${key} "${lowers}" PARENT_SCOPE)
    endif()
    set(value_${key}_${index} "${value}" PARENT_SCOPE)
endfunction()

# Appends one entry of the ELF record to the C++ text in `record`: its own string literal,
# ending in \0" so that no escape runs into the next. "?" is escaped against trigraphs.
function(_inkvale_version_info_entry record path value)
    _inkvale_version_info_escape(entry "${path}\t${value}" "\\\"")
    string(REPLACE "?" "\\?" entry "${entry}")
    set(${record} "${${record}}\n    \"${entry}\\0\"" PARENT_SCOPE)
endfunction()

# inkvale_legal_copyright(<variable>): the copyright notice of the program's files,
# INKVALE_LEGAL_COPYRIGHT or "Copyright (C) <current year> <company>".
function(inkvale_legal_copyright variable)
    if(DEFINED INKVALE_LEGAL_COPYRIGHT)
        set(${variable} "${INKVALE_LEGAL_COPYRIGHT}" PARENT_SCOPE)
    else()
        string(TIMESTAMP year "%Y" UTC)
        set(${variable} "Copyright (C) ${year} ${INKVALE_COMPANY_NAME}" PARENT_SCOPE)
    endif()
endfunction()

function(inkvale_add_version_info target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "VERSION" "TRANSLATIONS;STRINGS")
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR
            "inkvale_add_version_info: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT TARGET ${target})
        message(FATAL_ERROR "inkvale_add_version_info: ${target} is not a target")
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(file_type "VFT_APP")
    elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
        set(file_type "VFT_DLL")
    else()
        message(FATAL_ERROR "inkvale_add_version_info: ${target} is a ${type}; only executables "
            "and shared libraries carry a version record")
    endif()

    # The version, padded to the four numbers of the fixed block.
    if(DEFINED arg_VERSION)
        set(version "${arg_VERSION}")
    else()
        set(version "${PROJECT_VERSION}")
    endif()
    if(NOT version MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
        message(FATAL_ERROR
            "inkvale_add_version_info: \"${version}\" is not a version a[.b[.c[.d]]]")
    endif()
    string(REPLACE "." ";" numbers "${version}")
    list(LENGTH numbers count)
    while(count LESS 4)
        list(APPEND numbers 0)
        math(EXPR count "${count} + 1")
    endwhile()
    foreach(number IN LISTS numbers)
        if(number GREATER 65535)
            message(FATAL_ERROR
                "inkvale_add_version_info: the parts of \"${version}\" must not exceed 65535")
        endif()
    endforeach()
    list(JOIN numbers "." fixed_version)
    list(JOIN numbers "," fixed_version_commas)

    # The translation table; each entry names the block key "LLLLCCCC" of its strings.
    if(NOT arg_TRANSLATIONS)
        set(arg_TRANSLATIONS "0409 04E4")
    endif()
    set(keys "")
    set(translation_words "")
    set(translation_numbers "")
    set(hex4 "[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]")
    foreach(translation IN LISTS arg_TRANSLATIONS)
        if(NOT translation MATCHES "^(${hex4}) (${hex4})$")
            message(FATAL_ERROR "inkvale_add_version_info: translation \"${translation}\" "
                "is not \"LLLL CCCC\" in hex")
        endif()
        string(TOUPPER "${CMAKE_MATCH_1}" language)
        string(TOUPPER "${CMAKE_MATCH_2}" code_page)
        list(APPEND keys "${language}${code_page}")
        list(APPEND translation_words "${language} ${code_page}")
        list(APPEND translation_numbers "0x${language}" "0x${code_page}")
    endforeach()
    list(GET keys 0 first_key)

    # Strings per key: names_<key> keeps the order, lower_<key> finds a name case-insensitively
    # (as the lookup does), value_<key>_<index> holds the value. Values stay out of lists, where
    # a "[" would change how the list splits.
    foreach(key IN LISTS keys)
        set(names_${key} "")
        set(lower_${key} "")
    endforeach()
    inkvale_legal_copyright(copyright)
    # Stands for $<TARGET_FILE_NAME:...> until the values have been escaped.
    set(file_name_placeholder "@INKVALE_TARGET_FILE_NAME@")
    _inkvale_version_info_set(${first_key} CompanyName "${INKVALE_COMPANY_NAME}")
    _inkvale_version_info_set(${first_key} FileDescription "${INKVALE_PRODUCT_NAME}")
    _inkvale_version_info_set(${first_key} FileVersion "${version}")
    _inkvale_version_info_set(${first_key} InternalName "${INKVALE_PRODUCT_NAME}")
    _inkvale_version_info_set(${first_key} LegalCopyright "${copyright}")
    _inkvale_version_info_set(${first_key} OriginalFilename "${file_name_placeholder}")
    _inkvale_version_info_set(${first_key} ProductName "${INKVALE_PRODUCT_NAME}")
    _inkvale_version_info_set(${first_key} ProductVersion "${version}")
    foreach(entry IN LISTS arg_STRINGS)
        if(NOT entry MATCHES "^(${hex4}${hex4})\\|([A-Za-z][A-Za-z0-9_]*)\\|(.*)$")
            message(FATAL_ERROR "inkvale_add_version_info: string \"${entry}\" "
                "is not \"LLLLCCCC|Name|Value\"")
        endif()
        string(TOUPPER "${CMAKE_MATCH_1}" key)
        if(NOT key IN_LIST keys)
            message(FATAL_ERROR "inkvale_add_version_info: string \"${entry}\" names ${key}, "
                "which is not in the translations ${translation_words}")
        endif()
        _inkvale_version_info_set(${key} "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}")
    endforeach()

    # The generated text, with every value escaped; file(GENERATE) then puts in the file name.
    if(WIN32)
        set(VI_STRING_BLOCKS "")
        foreach(key IN LISTS keys)
            list(LENGTH names_${key} count)
            if(count EQUAL 0)
                continue()
            endif()
            string(APPEND VI_STRING_BLOCKS "        BLOCK \"${key}\"\n        BEGIN\n")
            set(index 0)
            foreach(name IN LISTS names_${key})
                _inkvale_version_info_escape(value "${value_${key}_${index}}" "\"\"")
                # "?" in octal, so that the preprocessor sees no trigraph.
                string(REPLACE "?" "\\077" value "${value}")
                string(APPEND VI_STRING_BLOCKS "            VALUE \"${name}\", \"${value}\"\n")
                math(EXPR index "${index} + 1")
            endforeach()
            string(APPEND VI_STRING_BLOCKS "        END\n")
        endforeach()
        list(JOIN translation_numbers ", " VI_TRANSLATIONS)
        set(VI_FILE_VERSION "${fixed_version_commas}")
        set(VI_FILE_TYPE "${file_type}")
        set(template_name "versioninfo.rc.in")
        set(generated_name "versioninfo.rc")
    else()
        list(JOIN translation_words " " words)
        set(VI_RECORD "    \"InkvaleVersionRecord/1\\0\"")
        _inkvale_version_info_entry(VI_RECORD "\\" "${fixed_version}")
        _inkvale_version_info_entry(VI_RECORD "\\VarFileInfo\\Translation" "${words}")
        foreach(key IN LISTS keys)
            set(index 0)
            foreach(name IN LISTS names_${key})
                _inkvale_version_info_entry(VI_RECORD "\\StringFileInfo\\${key}\\${name}"
                    "${value_${key}_${index}}")
                math(EXPR index "${index} + 1")
            endforeach()
        endforeach()
        set(template_name "versioninfo_section.cpp.in")
        set(generated_name "versioninfo_section.cpp")
    endif()
    set(VI_TARGET "${target}")
    get_property(templates GLOBAL PROPERTY INKVALE_VERSION_INFO_TEMPLATES)
    set(template "${templates}/${template_name}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${template}")
    file(READ "${template}" content)
    string(CONFIGURE "${content}" content @ONLY)
    string(REPLACE "${file_name_placeholder}" "$<TARGET_FILE_NAME:${target}>" content "${content}")

    # The file name may differ between configurations (a per-configuration postfix), so
    # multi-configuration generators get one file per configuration.
    set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_versioninfo")
    get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
    if(multi_config)
        file(GENERATE OUTPUT "${out_dir}/$<CONFIG>/${generated_name}" CONTENT "${content}")
        target_sources(${target} PRIVATE "${out_dir}/$<CONFIG>/${generated_name}")
        set(generated "")
        foreach(config IN LISTS CMAKE_CONFIGURATION_TYPES)
            list(APPEND generated "${out_dir}/${config}/${generated_name}")
        endforeach()
    else()
        set(generated "${out_dir}/${generated_name}")
        file(GENERATE OUTPUT "${generated}" CONTENT "${content}")
        target_sources(${target} PRIVATE "${generated}")
    endif()
    set_source_files_properties(${generated} PROPERTIES
        GENERATED TRUE SKIP_AUTOGEN TRUE SKIP_UNITY_BUILD_INCLUSION TRUE)
endfunction()
