// Where a run in a child process leaves what it is doing, in memory shared
// with the parent: the step in progress and the last commands sent. After a
// crash or a hang the parent still knows where the child was.
#ifndef VALIDATOR_PROGRESS_BOARD_H
#define VALIDATOR_PROGRESS_BOARD_H

#include <string>
#include <vector>

namespace zant::validate {

class ProgressBoard {
public:
    // Steps before the first notification and after the last one.
    static constexpr long construction = -1;
    static constexpr long destruction = -2;

    // One board for the whole process, shared with every child forked later.
    static ProgressBoard& shared();

    void reset();
    void setStep(long step) { step_ = step; }
    long step() const { return step_; }
    void addCommand(const std::string& command);
    // Oldest first.
    std::vector<std::string> commands() const;

private:
    static constexpr int slots = 8;
    static constexpr int slotSize = 200;

    volatile long step_ = construction;
    volatile int written_ = 0;
    char commands_[slots][slotSize] = {};
};

}  // namespace zant::validate

#endif  // VALIDATOR_PROGRESS_BOARD_H
