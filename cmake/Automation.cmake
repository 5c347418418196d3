# Type libraries for the automation servers, compiled from .idl by widl.
#
#   automation_add_idl(TARGET target IDL file.idl [RC file.rc [EMBEDS file...]])
#
# Generates <name>.h (interfaces), <name>_i.c (identifiers, added to TARGET)
# and <name>.tlb in the current binary folder, and puts that folder on the
# include path of TARGET so its .rc can embed the library as TYPELIB 1. The
# .rc is rebuilt when the library or any other embedded file changes.

find_program(WIDL_EXECUTABLE NAMES ${TOOLCHAIN_PREFIX}-widl widl REQUIRED)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(WIDL_TARGET_FLAG --win64 CACHE INTERNAL "")
    set(WIDL_STDOLE_DIRS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows)
else()
    set(WIDL_TARGET_FLAG --win32 CACHE INTERNAL "")
    set(WIDL_STDOLE_DIRS /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows)
endif()
find_path(WIDL_STDOLE_DIR stdole2.tlb PATHS ${WIDL_STDOLE_DIRS} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

function(automation_add_idl)
    cmake_parse_arguments(A "" "TARGET;IDL;RC" "EMBEDS" ${ARGN})
    get_filename_component(name ${A_IDL} NAME_WE)
    get_filename_component(idl ${A_IDL} ABSOLUTE)
    set(out ${CMAKE_CURRENT_BINARY_DIR})
    set(AUTOMATION_IDL_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/idl)
    add_custom_command(
        OUTPUT ${out}/${name}.h ${out}/${name}_i.c ${out}/${name}.tlb
        COMMAND ${WIDL_EXECUTABLE} ${WIDL_TARGET_FLAG} -I ${AUTOMATION_IDL_DIR} -L ${WIDL_STDOLE_DIR}
                -h -o ${out}/${name}.h -u -U ${out}/${name}_i.c -t -T ${out}/${name}.tlb ${idl}
        DEPENDS ${idl} ${AUTOMATION_IDL_DIR}/oaidl.idl
        COMMENT "Type library ${name}"
        VERBATIM)
    target_sources(${A_TARGET} PRIVATE ${out}/${name}.h ${out}/${name}_i.c)
    target_include_directories(${A_TARGET} PRIVATE ${out})
    if(A_RC)
        set(embeds ${out}/${name}.tlb)
        foreach(file IN LISTS A_EMBEDS)
            get_filename_component(file ${file} ABSOLUTE)
            list(APPEND embeds ${file})
        endforeach()
        set_property(SOURCE ${A_RC} APPEND PROPERTY OBJECT_DEPENDS ${embeds})
    endif()
endfunction()
