#include "platform/zant_debug_output.h"

#if defined(_WIN32)
#include <windows.h>

void zant_debug_output(const char* text) {
    OutputDebugStringA(text ? text : "");
}

#else
#include <cstdio>

void zant_debug_output(const char* text) {
    std::fprintf(stderr, "%s\n", text ? text : "");
}

#endif
