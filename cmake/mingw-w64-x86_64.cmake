# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORLIMO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORLIMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORLIMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORLIMO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORLIMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program needs only the DLLs that come with Windows: libstdc++, libgcc
# and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and test discovery run the programs under Wine.
find_program(ORLIMO_WINE wine)
if(ORLIMO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORLIMO_WINE})
endif()
