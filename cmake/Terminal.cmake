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
#   terminal_add_dll(NAME name DEF file.def SOURCES ... [LIBRARIES ...])
function(terminal_add_dll)
    cmake_parse_arguments(D "" "NAME;DEF" "SOURCES;LIBRARIES" ${ARGN})
    add_library(${D_NAME} SHARED ${D_SOURCES} ${D_DEF})
    set_target_properties(${D_NAME} PROPERTIES PREFIX "" IMPORT_PREFIX "" IMPORT_SUFFIX ".dll.a")
    target_link_libraries(${D_NAME} PRIVATE ${D_LIBRARIES})
endfunction()
