# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64,
# the posix threads variant, which std::thread and std::mutex need). The
# programs link libgcc and libstdc++ statically, and winpthread with them, so
# each .exe runs on its own, without MinGW's DLLs beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MOXTREL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MOXTREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MOXTREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MOXTREL_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW tree only, never from the Linux
# system's /usr; the programs that run during the build are the Linux ones.
set(CMAKE_FIND_ROOT_PATH /usr/${MOXTREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config likewise answers from the MinGW tree only: the Linux system's
# .pc files would hand glibc's headers and Linux libraries to the cross build.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${MOXTREL_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The libraries Debian ships for Linux only (wxWidgets, expat, libpng) are
# built static for MinGW by tools/build-windows-deps.sh into a prefix of their
# own; the `windows` preset names it. Its stamp file is written last, so a
# prefix without one is an interrupted build and is not used.
set(MOXTREL_MINGW_DEPS "" CACHE PATH "Prefix of the MinGW libraries tools/build-windows-deps.sh builds")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOXTREL_MINGW_DEPS)
set(MOXTREL_HAVE_MINGW_DEPS OFF)
if(MOXTREL_MINGW_DEPS AND EXISTS "${MOXTREL_MINGW_DEPS}/.stamp")
  get_filename_component(MOXTREL_MINGW_DEPS_REAL "${MOXTREL_MINGW_DEPS}" REALPATH)
  set(MOXTREL_HAVE_MINGW_DEPS ON)
  list(APPEND CMAKE_FIND_ROOT_PATH ${MOXTREL_MINGW_DEPS_REAL})
  set(ENV{PKG_CONFIG_LIBDIR} "${MOXTREL_MINGW_DEPS_REAL}/lib/pkgconfig:$ENV{PKG_CONFIG_LIBDIR}")
  # wx-config has its prefix written into it; it is a Linux script that
  # answers for the MinGW build.
  set(wxWidgets_CONFIG_EXECUTABLE "${MOXTREL_MINGW_DEPS_REAL}/bin/wx-config")
  set(wxWidgets_USE_STATIC ON)
endif()

# -static links winpthread statically as well; without it the .exe needs
# libwinpthread-1.dll even with a static libstdc++.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Unicode by default for the wide Win32 calls, and Windows 7 as the oldest
# system the calls may assume.
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601")

# Test discovery and any build-time run of a built program go through Wine.
find_program(MOXTREL_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(MOXTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOXTREL_WINE})
endif()
