# The shipped program: 32-bit Windows. This kernel cannot run it: its tests make their own runner.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
# The game runs on Pentium III class processors, which lack SSE2: the program must not use MMX or
# SSE whatever the compiler's own default. The tuning is pinned too, as -march alone would move it.
set(CMAKE_CXX_FLAGS_INIT "-march=i686 -mtune=generic")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
