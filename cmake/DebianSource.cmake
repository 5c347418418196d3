# Debian source packages that the build cross-compiles for the terminal.
#
#   debian_source(PACKAGE name OUT_VAR var)
#
# Fetches the machine's own suite's source package with `apt-get source`
# (tools/install-prerequisites adds the deb-src entry) into
# <build>/sources/<name>, once: a later configure finds it there. Sets `var`
# to the unpacked source tree.
function(debian_source)
    cmake_parse_arguments(S "" "PACKAGE;OUT_VAR" "" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/sources/${S_PACKAGE})
    file(GLOB trees LIST_DIRECTORIES true ${root}/${S_PACKAGE}-*)
    list(FILTER trees EXCLUDE REGEX "\\.(tar\\..*|dsc|gz|xz)$")
    if(NOT trees)
        find_program(APT_GET apt-get REQUIRED)
        file(MAKE_DIRECTORY ${root})
        message(STATUS "Fetching the Debian source package ${S_PACKAGE}")
        execute_process(COMMAND ${APT_GET} source -qq ${S_PACKAGE}
            WORKING_DIRECTORY ${root}
            RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
        file(GLOB trees LIST_DIRECTORIES true ${root}/${S_PACKAGE}-*)
        list(FILTER trees EXCLUDE REGEX "\\.(tar\\..*|dsc|gz|xz)$")
        if(NOT result EQUAL 0 OR NOT trees)
            message(FATAL_ERROR "apt-get source ${S_PACKAGE} failed (run tools/install-prerequisites): ${errors}")
        endif()
    endif()
    list(GET trees 0 tree)
    set(${S_OUT_VAR} ${tree} PARENT_SCOPE)
endfunction()
