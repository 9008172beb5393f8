# Cross-compiling for Windows with Debian's MinGW-w64 compilers. The including
# toolchain file sets MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR (as Windows names
# the architecture) and RAIDVOL_WINDOWS_KIND (as the zips name it) first.
set(CMAKE_SYSTEM_NAME Windows)

# The win32 thread model: programs that need no winpthread DLL beside them.
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Headers and libraries come from the target's tree, programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
