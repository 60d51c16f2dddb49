# 32-bit x87 build of the platform-free core and its tests, run under
# qemu-i386-static (these machines cannot execute 32-bit programs).
# Code generation as in the i686 MinGW build: Pentium Pro, x87 maths; the
# preset gives the same optimisation level (MinSizeRel).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=pentiumpro -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=pentiumpro -mfpmath=387")
# Static: qemu then needs no 32-bit loader or libraries from the host.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
