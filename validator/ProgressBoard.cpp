#include "validator/ProgressBoard.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/SharedMemory.h"

namespace zant::validate {

ProgressBoard& ProgressBoard::shared() {
    // Shared with the forked checks, which write it; plain memory where
    // checks run in this process (Windows).
    static ProgressBoard* board = [] {
        void* memory = zant::platform::memorySharedWithChildren(sizeof(ProgressBoard));
        return memory == nullptr ? new ProgressBoard() : new (memory) ProgressBoard();
    }();
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
