# carlume_add_version_note(<target> DESCRIPTION <text>)
#
# Puts the project version into <target> as an ELF package-metadata note (section .note.package, owner
# "FDO", type 0xcafe1a7e). Its JSON payload carries the standard keys and the ten version-resource key
# names, which is where the program reads file versions from.
set(CARLUME_COMPANY "Tamsel Software")
set(CARLUME_COPYRIGHT "Copyright (C) 1997-2026 Tamsel Software")
set(_carlume_note_template "${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in")

function(_carlume_json_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

function(carlume_add_version_note target)
    cmake_parse_arguments(ARG "" "DESCRIPTION" "" ${ARGN})
    get_target_property(type ${target} TYPE)
    get_target_property(outName ${target} OUTPUT_NAME)
    if(NOT outName)
        set(outName ${target})
    endif()
    if(type STREQUAL "EXECUTABLE")
        set(fileName "${outName}")
    elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
        set(fileName "lib${outName}.so")
    else()
        message(FATAL_ERROR "carlume_add_version_note: ${target} is not a linked binary")
    endif()

    set(json "{}")
    foreach(pair
            "type;carlume"
            "name;${outName}"
            "version;${PROJECT_VERSION}"
            "CompanyName;${CARLUME_COMPANY}"
            "FileDescription;${ARG_DESCRIPTION}"
            "FileVersion;${PROJECT_VERSION}"
            "InternalName;${outName}"
            "LegalCopyright;${CARLUME_COPYRIGHT}"
            "LegalTradeMarks;"
            "OriginalFilename;${fileName}"
            "ProductName;Carlume"
            "ProductVersion;${PROJECT_VERSION}"
            "Comments;")
        list(GET pair 0 key)
        list(LENGTH pair n)
        set(value "")
        if(n GREATER 1)
            list(GET pair 1 value)
        endif()
        _carlume_json_string(jsonValue "${value}")
        string(JSON json SET "${json}" "${key}" "${jsonValue}")
    endforeach()
    # Newlines never occur inside JSON strings, so folding the pretty-printed text onto one line is safe.
    string(REGEX REPLACE "\n *" "" NOTE_JSON "${json}")

    set(generated "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.cpp")
    configure_file("${_carlume_note_template}" "${generated}" @ONLY)
    target_sources(${target} PRIVATE "${generated}")
endfunction()
