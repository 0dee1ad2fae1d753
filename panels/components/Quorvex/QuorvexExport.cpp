// The library's only export, and on Windows its entry point.
#include <new>

#include "host/zant_host.h"
#include "panels/components/Quorvex/Quorvex.h"

extern "C" ZANT_EXPORT zant_client_callback* ZANT_CDECL load_zant_client_script(zant_host* host,
                                                                                const char* path) {
    // Nothing may be thrown into the host: a component that cannot be built
    // is reported as null.
    try {
        return new Quorvex(host, path);
    } catch (...) {
        return nullptr;
    }
}

#if defined(_WIN32)
#include <windows.h>

// The host calls the component from one thread; per-thread notifications are
// of no use to it.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
#endif
