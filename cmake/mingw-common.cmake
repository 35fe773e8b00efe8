# Shared by the MinGW-w64 toolchain files, which set CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX.
# The win32 thread model: the saver has one thread, and the posix model would link the winpthreads
# runtime into it, whose imports (GetTickCount64 and others) keep it from loading before Vista.
# The tests share the same runtime; tests/CMakeLists.txt gives GoogleTest what it misses there.
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
