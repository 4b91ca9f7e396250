# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers. The
# "-posix" variants carry the C++ threads (std::thread, std::mutex) that the
# "-win32" ones lack. Libraries built for Windows by scripts/mingw-libraries
# are found through TANDREL_MINGW_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TANDREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Passed on to try_compile projects, which rebuild the toolchain from this file.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TANDREL_MINGW_PREFIX)

# Programs this build makes (tools run by the build, tests run by CTest) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run")
