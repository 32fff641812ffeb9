# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# which std::thread needs). Every program is linked statically, so each is one
# .exe that needs no DLL beyond the system's. The programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVREL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVREL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread inside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest starts the programs through Wine's loader; the caller sets WINEPREFIX
# and the locale that gives the ANSI code page.
find_program(TAVREL_WINE_LOADER NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(TAVREL_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVREL_WINE_LOADER})
endif()
