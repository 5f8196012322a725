# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads variant, which
# std::thread and std::mutex need): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# scripts/test-windows.sh stages the libraries Velmora needs for Windows in one prefix and passes
# it as CMAKE_PREFIX_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
# Libraries and headers for Windows come from the MinGW root and from the prefixes given in
# CMAKE_PREFIX_PATH, never from the build machine's own /usr: one -isystem /usr/include brought
# in by a host package config would put glibc's headers in front of MinGW's.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One .exe that runs without MinGW's DLLs beside it: libstdc++, libgcc and winpthreads are linked
# in, and zlib is taken as its static library.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)
# Tests and other programs built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
