// Checks run in this process; each piece of one runs isolated
// (CheckContext::isolation), forked where the system can.
#ifndef VALIDATOR_IN_PROCESS_CHECK_RUNNER_H
#define VALIDATOR_IN_PROCESS_CHECK_RUNNER_H

#include "validator/CheckRunner.h"

namespace zant::validate {

class InProcessCheckRunner : public CheckRunner {
public:
    // The profile is learnt up to `lastStage` (ComponentProfile::stages).
    explicit InProcessCheckRunner(int lastStage) : lastStage_(lastStage) {}

    ComponentProfile learnProfile(CheckContext& context) override;
    // Runs `check` unless it presses controls the run could not learn.
    void run(const Check& check, const CheckContext& context, CheckReport& result) override;

private:
    int lastStage_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_IN_PROCESS_CHECK_RUNNER_H
