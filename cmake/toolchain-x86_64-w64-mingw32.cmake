# Cross-compiling for 64-bit Windows: the build whose tests run under Wine.
# Debian packages: g++-mingw-w64-x86-64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZANT_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which GCC 12's win32
# model lacks. Its winpthread is linked statically like the rest.
set(CMAKE_C_COMPILER ${ZANT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANT_MINGW_TRIPLET}-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
