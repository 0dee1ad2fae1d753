// Freed memory made recognisable: the validator fills every block it frees
// (the component's own, through MallocCounter, and each reply the component
// hands back) with a poison byte, so that a component that reads a block
// after freeing it, and sends what it read, is caught on every run instead
// of only when the allocator happens to reuse the block.
#ifndef VALIDATOR_FREED_MEMORY_H
#define VALIDATOR_FREED_MEMORY_H

#include <cstring>
#include <string>

namespace zant::validate {

class FreedMemory {
public:
    static constexpr unsigned char poison = 0xDB;

    // Fills `size` bytes at `block` with the poison.
    static void poisonBlock(void* block, size_t size) { std::memset(block, poison, size); }
    // True when `text` holds a run of poison long enough not to be chance.
    static bool carriedBy(const std::string& text) {
        return text.find(std::string(runLength, static_cast<char>(poison))) != std::string::npos;
    }

private:
    static constexpr size_t runLength = 4;
};

}  // namespace zant::validate

#endif  // VALIDATOR_FREED_MEMORY_H
