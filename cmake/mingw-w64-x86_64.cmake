# Cross build for 64-bit Windows with the mingw-w64 "posix" thread model
# (gives std::thread and std::mutex). Used by the "windows" preset on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZRCC_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZRCC_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZRCC_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZRCC_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZRCC_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine when the build is cross-compiled.
find_program(ZRCC_WINE wine)
if(ZRCC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZRCC_WINE})
endif()
