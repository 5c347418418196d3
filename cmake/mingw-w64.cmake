# Windows cross build with the mingw-w64 posix-thread compilers.
#
# The terminal is a 32-bit machine and i686 is the target wherever the host can
# run 32-bit Wine. A host kernel without 32-bit support cannot run wine32 at
# all; there the same sources are built for x86_64 and run under wine64.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT TERMINAL_ARCH)
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/terminal-arch.sh
        OUTPUT_VARIABLE TERMINAL_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(TERMINAL_ARCH ${TERMINAL_ARCH} CACHE STRING "i686 or x86_64")

if(TERMINAL_ARCH STREQUAL "i686")
    set(CMAKE_SYSTEM_PROCESSOR x86)
else()
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()

set(TOOLCHAIN_PREFIX ${TERMINAL_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every program runs inside the simulated terminal.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/terminal;run)
