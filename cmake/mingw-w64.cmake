# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix thread
# model, so that std::thread and std::mutex exist):
#   cmake -S . -B build-win -G Ninja -DTARNWICK_WIDGETS=OFF \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_PREFIX_PATH=<googletest for mingw>
# Programs are linked statically, so that they run under Wine without any
# DLL of the compiler beside them; ctest runs them through wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNWICK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWICK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWICK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWICK_MINGW}-windres)

# Libraries and headers from the Windows side only; packages also from the
# prefixes the build is given (a googletest built for mingw).
set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(TARNWICK_WINE NAMES wine wine64)
if(TARNWICK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARNWICK_WINE})
endif()
