#include "platform/SharedMemory.h"

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

namespace zant::platform {

void* memorySharedWithChildren(std::size_t bytes) {
#if defined(_WIN32)
    (void)bytes;
    return nullptr;
#else
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
#endif
}

}  // namespace zant::platform
