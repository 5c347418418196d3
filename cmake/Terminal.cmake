# Helpers shared by every component.

# A GoogleTest executable registered as one ctest test that runs inside the
# simulated terminal (the toolchain's cross-compiling emulator).
#   terminal_add_test(NAME name SOURCES ... [LIBRARIES ...] [DEPENDS ...])
function(terminal_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBRARIES;DEPENDS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE testsupport ${T_LIBRARIES})
    if(T_DEPENDS)
        add_dependencies(${T_NAME} ${T_DEPENDS})
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK terminal)
endfunction()

# A DLL with plain stdcall exports named by its .def file.
#   terminal_add_dll(NAME name DEF file.def [STDCALL_DEF file-stdcall.def]
#                    SOURCES ... [LIBRARIES ...])
# On 32-bit x86, callers compiled against the DLL's header refer to the
# decorated stdcall names (Name@bytes) while the DLL exports the plain ones:
# STDCALL_DEF lists the decorated names, and the import library is rebuilt
# from it so that each maps onto its plain export.
function(terminal_add_dll)
    cmake_parse_arguments(D "" "NAME;DEF;STDCALL_DEF" "SOURCES;LIBRARIES" ${ARGN})
    add_library(${D_NAME} SHARED ${D_SOURCES} ${D_DEF})
    set_target_properties(${D_NAME} PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".dll.a")
    target_link_libraries(${D_NAME} PRIVATE ${D_LIBRARIES})
    if(D_STDCALL_DEF AND CMAKE_SIZEOF_VOID_P EQUAL 4)
        find_program(TERMINAL_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)
        add_custom_command(TARGET ${D_NAME} POST_BUILD
            COMMAND ${TERMINAL_DLLTOOL} -k -d ${CMAKE_CURRENT_SOURCE_DIR}/${D_STDCALL_DEF}
                    -D ${D_NAME}.dll -l $<TARGET_LINKER_FILE:${D_NAME}>
            VERBATIM)
    endif()
endfunction()
