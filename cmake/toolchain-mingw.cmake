# Cross build for Windows with Debian's mingw-w64 compilers for the processor that
# the including toolchain file names (CMAKE_SYSTEM_PROCESSOR, OMBRIX_MINGW_PREFIX).
# The posix thread model gives the C++ standard library its threads and mutexes.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${OMBRIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OMBRIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OMBRIX_MINGW_PREFIX}-windres)
set(CMAKE_AR ${OMBRIX_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${OMBRIX_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${OMBRIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
