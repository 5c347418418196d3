# The IJG JPEG library (API version 62) for the terminal's target: Debian's
# libjpeg-turbo cross-built static, SIMD off, with this build's toolchain.
# Defines the imported static library `jpeg`.
include(ExternalProject)
include(${PROJECT_SOURCE_DIR}/cmake/DebianSource.cmake)

debian_source(PACKAGE libjpeg-turbo OUT_VAR JPEG_SOURCE_DIR)

set(JPEG_INSTALL_DIR ${CMAKE_BINARY_DIR}/jpeg)
set(JPEG_LIBRARY_FILE ${JPEG_INSTALL_DIR}/lib/libjpeg.a)
ExternalProject_Add(jpeg_build
    SOURCE_DIR ${JPEG_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/jpeg-build
    INSTALL_DIR ${JPEG_INSTALL_DIR}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
        -DTERMINAL_ARCH=${TERMINAL_ARCH}
        -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
        -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
        -DENABLE_SHARED=OFF
        -DENABLE_STATIC=ON
        -DWITH_SIMD=OFF
        -DWITH_TURBOJPEG=OFF
        -DWITH_JPEG7=OFF
        -DWITH_JPEG8=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
    # Only the library and its four public headers are wanted.
    INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory <INSTALL_DIR>/lib <INSTALL_DIR>/include
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a <INSTALL_DIR>/lib/
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/jconfig.h <SOURCE_DIR>/jpeglib.h
            <SOURCE_DIR>/jmorecfg.h <SOURCE_DIR>/jerror.h <INSTALL_DIR>/include/
    BUILD_BYPRODUCTS ${JPEG_LIBRARY_FILE}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

file(MAKE_DIRECTORY ${JPEG_INSTALL_DIR}/include)
add_library(jpeg STATIC IMPORTED GLOBAL)
set_target_properties(jpeg PROPERTIES
    IMPORTED_LOCATION ${JPEG_LIBRARY_FILE}
    INTERFACE_INCLUDE_DIRECTORIES ${JPEG_INSTALL_DIR}/include)
add_dependencies(jpeg jpeg_build)
