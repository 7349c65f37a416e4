# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64), POSIX thread
# model: libstdc++'s threads work, and winpthread links statically like the rest of the runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MUSIDISK_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MUSIDISK_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MUSIDISK_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${MUSIDISK_MINGW_HOST}-windres)

# Headers and libraries come from the MinGW-w64 tree only; programs (the build's own tools) from
# this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MUSIDISK_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
