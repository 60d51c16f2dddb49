# Cross build for 32-bit Windows (XP-capable). Running it needs 32-bit Wine.
# The win32 thread model: winpthreads imports GetTickCount64, which XP lacks,
# and the programs need no C++ threads (only the tests do, and they are x64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SONAREL_MINGW_TRIPLE i686-w64-mingw32)
set(SONAREL_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
