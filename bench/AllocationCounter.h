// Counts the heap allocations of the benchmark process while counting is on.
//
// The binary replaces the global operator new/delete (every form) and the C
// allocator (malloc, calloc, realloc, free and the aligned forms), so every
// allocation is seen: those of our libraries, of the standard library's
// templates and of libstdc++ and glibc themselves (a FILE of fopen, say).
#ifndef BENCH_ALLOCATION_COUNTER_H
#define BENCH_ALLOCATION_COUNTER_H

#include <cstddef>
#include <cstdint>

class AllocationCounter {
public:
    // Allocations (malloc, calloc, operator new, and a realloc that moves or
    // creates a block) made while counting was on.
    static std::uint64_t allocations();
    // Bytes held now (usable sizes), counted whether counting is on or not.
    static std::int64_t liveBytes();
    static bool counting();
    static void setCounting(bool on);

    // The allocator replacements report here.
    static void noteAllocation(void* block);
    static void noteResize(void* block);  // a block resized in place
    static void noteRelease(void* block);
};

// Counting is on for the scope's life (or off, with `on` false), then restored.
class CountingScope {
public:
    explicit CountingScope(bool on = true) : previous_(AllocationCounter::counting()) {
        AllocationCounter::setCounting(on);
    }
    ~CountingScope() { AllocationCounter::setCounting(previous_); }
    CountingScope(const CountingScope&) = delete;
    CountingScope& operator=(const CountingScope&) = delete;

private:
    bool previous_;
};

#endif  // BENCH_ALLOCATION_COUNTER_H
