# The 32-bit build whose whole test suite runs under Wine: the field DLL's
# toolchain with the posix thread model, as GoogleTest needs std::mutex, which
# GCC 12's win32 model lacks. The field DLL itself keeps the win32 model.
set(ZANT_MINGW_COMPILER_SUFFIX -posix)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686-w64-mingw32.cmake)
