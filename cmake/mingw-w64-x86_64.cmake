# Cross build for 64-bit Windows with Debian's MinGW-w64. Test programs run
# under Wine. The POSIX thread model by default, which GoogleTest needs; the
# release build, which has no tests, takes the win32 model (no winpthreads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SONAREL_MINGW_TRIPLE x86_64-w64-mingw32)
if(NOT SONAREL_MINGW_THREADS)
  set(SONAREL_MINGW_THREADS posix)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
