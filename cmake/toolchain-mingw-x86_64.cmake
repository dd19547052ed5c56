# Cross build for 64-bit Windows (x86_64): the runners and the differential
# stage's setup program, for 64-bit Wine where 32-bit code cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OMBRIX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
