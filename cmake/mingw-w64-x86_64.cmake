# Cross-building for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# scripts/windows.sh does this, with freeglut cross-built first. The POSIX threading flavour
# of the compilers is the one whose C++ runtime has std::thread and friends.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEPH_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEPH_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEPH_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEPH_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the MinGW tree and from the roots the caller adds
# (-DCMAKE_FIND_ROOT_PATH=<freeglut's install>), never from the build machine's own /usr;
# programs (the compilers, makensis) from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZEPH_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
