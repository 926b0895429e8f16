# Cross build for 32-bit Windows with mingw-w64. The posix thread model is required:
# the win32 one has no std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(DD7R_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${DD7R_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DD7R_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${DD7R_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DD7R_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test executable runs under Wine through this wrapper (prefix inside the build tree).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
