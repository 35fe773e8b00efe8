# Cross build for 32-bit Windows: the product's own target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles live on the x87 unit here (SSE2 is missing on many CPUs that run Windows 98). MinGW's
# start-up would leave it at 64-bit precision, so sums and products would round differently from
# the x86_64 build; msvcrt's own _fpreset, which this object makes the start-up call, sets 53 bits.
set(CMAKE_EXE_LINKER_FLAGS_INIT /usr/${TOOLCHAIN_PREFIX}/lib/CRT_fp8.o)
