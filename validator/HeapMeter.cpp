#include "validator/HeapMeter.h"

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZANT_HEAP_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZANT_HEAP_ASAN 1
#endif

#if defined(ZANT_HEAP_ASAN)
// The sanitizer runtime's count; gcc ships no header that declares it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if !defined(ZANT_HEAP_ASAN) && defined(__GLIBC__)
#include <cstdlib>

// Defined where malloc is counted (MallocCounter.cpp, zant_validate only).
extern "C" __attribute__((weak)) long long zant_counted_heap_bytes();

namespace {

// True when the counter sees this process's allocations: a tool such as
// valgrind may replace malloc over it.
bool counting() {
    static const bool works = [] {
        if (zant_counted_heap_bytes == nullptr) return false;
        const long long before = zant_counted_heap_bytes();
        void* volatile block = std::malloc(64);
        const bool moved = zant_counted_heap_bytes() != before;
        std::free(block);
        return moved;
    }();
    return works;
}

}  // namespace
#endif

namespace zant::validate {

long long HeapMeter::inUse() {
#if defined(ZANT_HEAP_ASAN)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    if (counting()) return zant_counted_heap_bytes();
    return static_cast<long long>(mallinfo2().uordblks);
#else
    return -1;
#endif
}

bool HeapMeter::exact() {
#if defined(ZANT_HEAP_ASAN)
    return true;
#elif defined(__GLIBC__)
    return counting();
#else
    return false;
#endif
}

long long HeapMeter::blockSize(const void* block) {
#if defined(__GLIBC__)
    return static_cast<long long>(malloc_usable_size(const_cast<void*>(block)));
#else
    (void)block;
    return 0;
#endif
}

}  // namespace zant::validate
