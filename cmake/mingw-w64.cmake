# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the -posix flavour, whose
# libstdc++ has std::thread). Static: the programs need no DLL beside them but Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Header-only libraries are the same for every target: Debian keeps them in /usr/include.
set(ORVANTA_HEADER_ONLY_DIRS /usr/include/stb)
# Its programs run here under Wine, in a prefix of their own (scripts/wine-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
# GCC 12 warns falsely inside libstdc++'s string code at -O3 (its bug 105329); the native
# build, with link-time optimisation, has the same silenced in CMakeLists.txt.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
