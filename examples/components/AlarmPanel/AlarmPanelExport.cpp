// The library's only export: the host calls it once per sub-panel instance.
#include <new>

#include "AlarmPanel.h"
#include "host/zant_host.h"

extern "C" ZANT_EXPORT zant_client_callback* load_zant_client_script(zant_host* host,
                                                                     const char* path) {
    // Nothing may be thrown into the host: a component that cannot be built
    // is reported as null.
    try {
        return new AlarmPanel(host, path);
    } catch (...) {
        return nullptr;
    }
}
