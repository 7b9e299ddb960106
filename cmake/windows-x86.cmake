# The shipped program: 32-bit Windows. Its tests run it under Wine, through their own runner.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triplet i686-w64-mingw32)
# No MMX or SSE instruction, whatever the compiler's own default, so that any i686 processor runs
# the program: the Pentium Pro's class, and so the Pentium III the game needs. pe.cpu checks the
# program for them. The tuning is pinned too, as -march alone would move it.
set(CMAKE_CXX_FLAGS_INIT "-march=i686 -mtune=generic")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
