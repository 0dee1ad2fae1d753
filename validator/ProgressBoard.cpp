#include "validator/ProgressBoard.h"

#include <algorithm>
#include <cstring>
#include <new>

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

namespace zant::validate {

ProgressBoard& ProgressBoard::shared() {
#if defined(_WIN32)
    // Checks run in this process there: plain memory serves.
    static ProgressBoard* board = new ProgressBoard();
#else
    static ProgressBoard* board = [] {
        void* memory = mmap(nullptr, sizeof(ProgressBoard), PROT_READ | PROT_WRITE,
                            MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        return memory == MAP_FAILED ? new ProgressBoard() : new (memory) ProgressBoard();
    }();
#endif
    return *board;
}

void ProgressBoard::reset() {
    step_ = construction;
    written_ = 0;
    std::memset(commands_, 0, sizeof commands_);
}

void ProgressBoard::addCommand(const std::string& command) {
    char* slot = commands_[written_ % slots];
    const size_t length = std::min(command.size(), static_cast<size_t>(slotSize - 1));
    std::memcpy(slot, command.data(), length);
    slot[length] = '\0';
    written_ = written_ + 1;
}

std::vector<std::string> ProgressBoard::commands() const {
    std::vector<std::string> out;
    const int count = std::min(static_cast<int>(written_), slots);
    for (int i = written_ - count; i < written_; ++i) out.emplace_back(commands_[i % slots]);
    return out;
}

}  // namespace zant::validate
