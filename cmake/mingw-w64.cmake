# Cross-builds glyphcull.exe for 64-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Tests of such a build run under Wine where it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GLYPHCULL_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${GLYPHCULL_MINGW_PREFIX}-g++-posix
                                      ${GLYPHCULL_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${GLYPHCULL_MINGW_PREFIX}-gcc-posix
                                    ${GLYPHCULL_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${GLYPHCULL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLYPHCULL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the compiler's own runtime linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(GLYPHCULL_WINE NAMES wine wine64)
if(GLYPHCULL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GLYPHCULL_WINE})
endif()
