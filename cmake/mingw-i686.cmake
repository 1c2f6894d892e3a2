# Cross build for i686 Windows with mingw-w64 (Debian's g++-mingw-w64-i686 package).
#
# The posix thread model is used: its libstdc++ has std::thread, std::mutex and
# std::condition_variable (the win32 model of GCC 12 has none of them), and with -static
# its winpthreads runtime is linked into each program and into Ostrel.dll, so no runtime
# DLL travels with them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(OSTREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${OSTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OSTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${OSTREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OSTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles are computed in SSE2 registers as on x86_64, not in the x87's 80-bit registers,
# so every rounding matches the tested x86_64 build.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
