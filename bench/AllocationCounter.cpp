// Replacement allocator of the benchmark binary.
//
// Why glibc's __libc_malloc family and not `-Wl,--wrap=malloc`: --wrap only
// rewrites the references of the objects linked statically into this binary,
// so it would miss the allocations made inside libstdc++.so and libc.so
// (std::string growth compiled into the shared libstdc++, fopen's FILE and
// buffer). Defining malloc and friends in the executable interposes them for
// the whole process, glibc's own internal calls included, which glibc
// supports as "replacing malloc". Forwarding to __libc_malloc and friends
// (exported by glibc for exactly this) keeps every block in the one glibc
// heap, so a block from any path may be released by any other without
// mismatch, and there is no dlsym bootstrap problem. operator new/delete are
// replaced as well (on top of malloc) so the count does not depend on how
// libstdc++ implements them.
//
// The counters are relaxed atomics: the benchmarks run on one thread, but
// libbenchmark may allocate from others.
#include "bench/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<std::uint64_t> allocationCount{0};
std::atomic<std::int64_t> bytesHeld{0};
std::atomic<bool> countingOn{false};

void* allocateAligned(size_t alignment, size_t size) {
    void* block = __libc_memalign(alignment, size);
    AllocationCounter::noteAllocation(block);
    return block;
}

void* allocateOrThrow(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* allocateAlignedOrThrow(size_t size, std::align_val_t alignment) {
    void* block = allocateAligned(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace

std::uint64_t AllocationCounter::allocations() {
    return allocationCount.load(std::memory_order_relaxed);
}

std::int64_t AllocationCounter::liveBytes() {
    return bytesHeld.load(std::memory_order_relaxed);
}

bool AllocationCounter::counting() {
    return countingOn.load(std::memory_order_relaxed);
}

void AllocationCounter::setCounting(bool on) {
    countingOn.store(on, std::memory_order_relaxed);
}

void AllocationCounter::noteAllocation(void* block) {
    if (block == nullptr) return;
    bytesHeld.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
    if (countingOn.load(std::memory_order_relaxed)) {
        allocationCount.fetch_add(1, std::memory_order_relaxed);
    }
}

void AllocationCounter::noteResize(void* block) {
    bytesHeld.fetch_add(static_cast<std::int64_t>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
}

void AllocationCounter::noteRelease(void* block) {
    if (block == nullptr) return;
    bytesHeld.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)),
                        std::memory_order_relaxed);
}

// The C allocator -----------------------------------------------------------

extern "C" {

void* malloc(size_t size) {
    void* block = __libc_malloc(size);
    AllocationCounter::noteAllocation(block);
    return block;
}

void* calloc(size_t count, size_t size) {
    void* block = __libc_calloc(count, size);
    AllocationCounter::noteAllocation(block);
    return block;
}

void* realloc(void* block, size_t size) {
    if (block == nullptr) return malloc(size);
    // Released first: a failed realloc keeps the block, so add it back then.
    AllocationCounter::noteRelease(block);
    void* moved = __libc_realloc(block, size);
    if (moved == nullptr) {
        if (size != 0) AllocationCounter::noteAllocation(block);
        return nullptr;
    }
    // Grown or shrunk in place is no new allocation, only a new size.
    if (moved == block) {
        AllocationCounter::noteResize(moved);
    } else {
        AllocationCounter::noteAllocation(moved);
    }
    return moved;
}

void free(void* block) {
    AllocationCounter::noteRelease(block);
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) {
    return allocateAligned(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
    return allocateAligned(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = allocateAligned(alignment, size);
    if (block == nullptr) return ENOMEM;
    *result = block;
    return 0;
}

}  // extern "C"

// The C++ allocator -----------------------------------------------------------

void* operator new(size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](size_t size) {
    return allocateOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return allocateAlignedOrThrow(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocateAligned(static_cast<size_t>(alignment), size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    std::free(block);
}
void operator delete(void* block, size_t, std::align_val_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, size_t, std::align_val_t) noexcept {
    std::free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(block);
}
