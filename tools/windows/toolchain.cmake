# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix
# thread model, which has std::mutex), for Allegro and for Tessera alike.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSERA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSERA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSERA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSERA_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSERA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
