# The shipped program: 32-bit Windows. Its tests make their own runner, as this kernel cannot run it.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
