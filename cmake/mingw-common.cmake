# What both MinGW-w64 toolchains share; the including file sets arbolith_mingw_prefix.
set(CMAKE_C_COMPILER ${arbolith_mingw_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${arbolith_mingw_prefix}-g++)
set(CMAKE_RC_COMPILER ${arbolith_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${arbolith_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the C and C++ runtimes are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
