set(CMAKE_C_COMPILER ${SONAREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SONAREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SONAREL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SONAREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: the programs run with no DLL beside them. Subsystem 5.01: XP loads them.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -Wl,--major-subsystem-version,5,--minor-subsystem-version,1 -Wl,--major-os-version,5,--minor-os-version,1")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
