# Cross-building for 64-bit Windows on Debian with MinGW-w64 (scripts/windows):
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DBLOCKFALL_WIN_DEPS=<prefix holding the Windows SDL2, SDL2_mixer and GoogleTest>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: the win32 one has no std::thread or sleep_for.
set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Windows libraries, headers and CMake packages come only from mingw's sysroot and the
# dependency prefix; the build's own tools (gzip, bash) still come from the host.
set(BLOCKFALL_WIN_DEPS "" CACHE PATH "Install prefix of the Windows builds of SDL2, SDL2_mixer and GoogleTest")
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${BLOCKFALL_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# try_compile projects get the prefix too (they re-read this file without the cache).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BLOCKFALL_WIN_DEPS)

# gtest_discover_tests and ctest start the test programs through Wine.
find_program(BLOCKFALL_WINE NAMES wine wine64)
if(BLOCKFALL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BLOCKFALL_WINE})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
