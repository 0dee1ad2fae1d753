
namespace zant::validate {

// Bytes of heap this process has in use, for leak checks that compare the
// heap before and after a run: glibc's mallinfo2, or the sanitizer runtime's
// own count under AddressSanitizer (which replaces malloc).
#ifndef VALIDATOR_HEAP_METER_H
#define VALIDATOR_HEAP_METER_H

class HeapMeter {
public:
    // -1 where this platform cannot tell.
    static long long inUse();
    // True where inUse() changes by exactly a block's usable size when the
    // block is allocated or freed (no allocator cache hides a free).
    static bool exact();
    // What `block`, allocated by malloc or new, adds to inUse(); 0 where
    // this platform cannot tell.
    static long long blockSize(const void* block);
};

}  // namespace zant::validate

#endif  // VALIDATOR_HEAP_METER_H
