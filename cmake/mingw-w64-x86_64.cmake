# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, so std::thread and std::mutex work): g++-mingw-w64-x86-64-posix.
#
# The libraries for Windows (SQLite, libharu, zlib and minizip, libdeflate,
# GoogleTest) are built from Debian's source packages by
# scripts/build-windows-deps into one prefix, passed as VANTREL_WINDOWS_DEPS;
# every find_* looks there and never at the build machine's own libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW}-windres)
set(CMAKE_AR ${VANTREL_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VANTREL_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# Try-compiles see the prefix too (passed on from the first configure).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTREL_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW})
if(VANTREL_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${VANTREL_WINDOWS_DEPS})
  list(APPEND CMAKE_PREFIX_PATH ${VANTREL_WINDOWS_DEPS})
  # pkg-config reads only the prefix's .pc files.
  set(ENV{PKG_CONFIG_LIBDIR} ${VANTREL_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

# One folder that runs on a Windows PC with nothing else installed: the C and
# C++ runtimes and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs of the build (the tests) run under Wine, in the Wine prefix
# named by WINEPREFIX (the tests set it to build-windows/wineprefix).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
