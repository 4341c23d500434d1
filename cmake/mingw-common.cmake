# Shared part of the mingw-w64 toolchain files.
set(CMAKE_C_COMPILER ${NVATT_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NVATT_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NVATT_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NVATT_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Wine runs the Windows test programs; scripts/wine-run sets up its prefix and locale.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
