# Cross-compiling for 32-bit Windows: the target of the field DLL.
# Debian packages: g++-mingw-w64-i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(ZANT_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZANT_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${ZANT_MINGW_TRIPLET}-g++)
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
