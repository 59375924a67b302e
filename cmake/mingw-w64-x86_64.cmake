# Cross-compiles for 64-bit Windows with the mingw-w64 posix-threads compilers
# (Debian: g++-mingw-w64-x86-64-posix). The C and C++ runtimes are linked
# statically, so the programs and test executables run without any DLL
# beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TITLES_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TITLES_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TITLES_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TITLES_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${TITLES_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TITLES_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TITLES_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLLs at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# -O2 as in the Linux builds: at -O3 GCC 12 reports false -Wrestrict
# errors inside libstdc++'s string code (GCC bug 105329).
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")

# Executables run under Wine on the build machine (ctest, and build steps
# that run a built program), in a Wine prefix kept inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --prefix=${CMAKE_BINARY_DIR}/wineprefix)
