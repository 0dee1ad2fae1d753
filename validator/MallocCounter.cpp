// Counts the bytes this process has allocated, by replacing malloc and its
// relatives with glibc's own entry points plus a count. Linked into
// zant_validate only: the component library's allocations then show exactly,
// without the allocator's caches blurring them as they do in mallinfo2.
// Each freed block is poisoned first (FreedMemory), so that a use after free
// shows the same on every run. Sanitizer builds keep their own allocator,
// count (HeapMeter) and checks.
#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZANT_MALLOC_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZANT_MALLOC_SANITIZED 1
#endif

#if defined(__GLIBC__) && !defined(ZANT_MALLOC_SANITIZED)
#include <malloc.h>

#include <atomic>
#include <cerrno>

#include "validator/FreedMemory.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<long long> counted{0};

void* added(void* block) {
    if (block != nullptr) counted += static_cast<long long>(malloc_usable_size(block));
    return block;
}

void removed(void* block) {
    if (block != nullptr) counted -= static_cast<long long>(malloc_usable_size(block));
}

void poisoned(void* block) {
    if (block != nullptr)
        zant::validate::FreedMemory::poisonBlock(block, malloc_usable_size(block));
}

}  // namespace

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" {

long long zant_counted_heap_bytes() {
    return counted.load();
}

void* malloc(size_t size) {
    return added(__libc_malloc(size));
}

void* calloc(size_t count, size_t size) {
    return added(__libc_calloc(count, size));
}

void* realloc(void* block, size_t size) {
    removed(block);
    void* moved = __libc_realloc(block, size);
    // On failure the old block stays allocated.
    return added(moved != nullptr || size == 0 ? moved : block);
}

void free(void* block) {
    removed(block);
    poisoned(block);
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) {
    return added(__libc_memalign(alignment, size));
}

void* aligned_alloc(size_t alignment, size_t size) {
    return added(__libc_memalign(alignment, size));
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) return ENOMEM;
    *result = added(block);
    return 0;
}

void* valloc(size_t size) {
    return added(__libc_memalign(4096, size));
}

}  // extern "C"
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
#endif
