# Cross-compiling for 32-bit Windows: the target of the field DLL.
# Debian packages: g++-mingw-w64-i686.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZANT_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZANT_MINGW_TRIPLET}-gcc${ZANT_MINGW_COMPILER_SUFFIX})
set(CMAKE_CXX_COMPILER ${ZANT_MINGW_TRIPLET}-g++${ZANT_MINGW_COMPILER_SUFFIX})
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# A Visual C++ caller keeps the stack aligned to 4 bytes only, GCC assumes 16:
# every function that needs more realigns its own frame.
set(CMAKE_C_FLAGS_INIT "-mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-mincoming-stack-boundary=2")
