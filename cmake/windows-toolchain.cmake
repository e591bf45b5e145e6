# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread model, which
# std::thread and std::mutex need). The libraries built for Windows (ICU, Qt, GoogleTest) are
# found through TSL_WINDOWS_PREFIXES, a list of install prefixes that scripts/windows.sh passes.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_AR ${triplet}-gcc-ar-posix)
set(CMAKE_RANLIB ${triplet}-gcc-ranlib-posix)

# Try-compiles see the prefixes too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TSL_WINDOWS_PREFIXES)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet} ${TSL_WINDOWS_PREFIXES})
set(CMAKE_PREFIX_PATH ${TSL_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
