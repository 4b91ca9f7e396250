# What the Windows build adds to the Linux one (cross-built with MinGW-w64 by
# scripts/build-windows, run under Wine).

# Every artefact carries the C and C++ runtimes and winpthreads inside it, so
# it imports nothing but Windows' own DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# MinGW-w64's fortified buffer calls (-D_FORTIFY_SOURCE) live in libssp,
# linked in statically after everything else on each link line.
string(APPEND CMAKE_C_STANDARD_LIBRARIES " -lssp")
string(APPEND CMAKE_CXX_STANDARD_LIBRARIES " -lssp")

# GCC does not align the stack for 32-byte spills on Windows x64, so an aligned
# AVX move of a spilled register can fault; the assembler turns them into
# unaligned moves, which cost nothing on aligned data.
set(TANDREL_AVX2_EXTRA_OPTIONS "-Wa,-muse-unaligned-vector-move")

# Debian's JUCE links the system's image codecs and zlib on Linux; on Windows
# the static builds of scripts/mingw-libraries take their place.
find_library(TANDREL_PNG_LIBRARY NAMES png16 png REQUIRED)
find_library(TANDREL_JPEG_LIBRARY NAMES jpeg REQUIRED)
find_library(TANDREL_ZLIB_LIBRARY NAMES z zlib REQUIRED)
find_path(TANDREL_CODEC_INCLUDE_DIR png.h REQUIRED)
add_library(tandrel_image_codecs INTERFACE)
target_include_directories(tandrel_image_codecs SYSTEM INTERFACE "${TANDREL_CODEC_INCLUDE_DIR}")
target_link_libraries(tandrel_image_codecs INTERFACE
  "${TANDREL_PNG_LIBRARY}" "${TANDREL_JPEG_LIBRARY}" "${TANDREL_ZLIB_LIBRARY}")
set(TANDREL_PLATFORM_LIBRARIES tandrel_image_codecs)

# Build steps that run a tool this build made run it under Wine.
set(TANDREL_RUN_BUILT_TOOL "${CMAKE_CROSSCOMPILING_EMULATOR}")
