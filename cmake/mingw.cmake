# Cross-compiles for Windows with the MinGW-w64 toolchain named by mingw_triplet.
set(CMAKE_SYSTEM_NAME Windows)
# The -win32 variant, with which the releases are built: the -posix one, which the system may name
# by the plain name instead, builds a program that works the same but differs in its bytes.
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
