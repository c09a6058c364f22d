# The 32-bit Windows build: MinGW-w64 for i686 with the posix thread model. The C and C++ runtimes
# are linked statically, so the programs need only Windows' own DLLs. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 is the baseline; the compiler's default i686 target has no SSE at all.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(_velmo_static "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_velmo_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_velmo_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_velmo_static}")

# add_test() and test discovery run Windows programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
