# The shipped Linux program: x86-64 at its baseline, so it runs on any such processor, whatever
# the compiler's own default.
set(CMAKE_CXX_COMPILER x86_64-linux-gnu-g++)
set(CMAKE_CXX_FLAGS_INIT "-march=x86-64 -mtune=generic")
