# Shared part of the mingw-w64 toolchain files; expects WISP_MINGW_TRIPLE.
set(CMAKE_C_COMPILER ${WISP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WISP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WISP_MINGW_TRIPLE}-windres)
set(WISP_WIDL ${WISP_MINGW_TRIPLE}-widl CACHE STRING "IDL compiler for the type library")

set(CMAKE_FIND_ROOT_PATH /usr/${WISP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
