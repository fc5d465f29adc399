# Cross-compiles for 64-bit Windows with MinGW-w64 (posix thread model, so std::thread
# and std::mutex work) and runs the built .exe files under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TWINSEEK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TWINSEEK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TWINSEEK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TWINSEEK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TWINSEEK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# On Debian the `wine` launcher picks wine64 for 64-bit PE files.
find_program(TWINSEEK_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TWINSEEK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TWINSEEK_WINE})
endif()
