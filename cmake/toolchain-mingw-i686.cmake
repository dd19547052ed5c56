# Cross build for 32-bit Windows (i686): the Windows build of every program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OMBRIX_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
