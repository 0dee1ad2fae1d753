# Cross-compiling for 64-bit Windows: the build whose tests run under Wine.
# Debian packages: g++-mingw-w64-x86-64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ZANT_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which GCC 12's win32
# model lacks. Its winpthread is linked statically like the rest.
set(CMAKE_C_COMPILER ${ZANT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANT_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZANT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL is copied alone into an installation: the C and C++ runtimes (and
# winpthread, should anything pull it in) are linked in, not imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
