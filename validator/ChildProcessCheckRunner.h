// Windows builds, which cannot fork: each probe of the profile and each check
// runs in a new process of zant_validate (platform/ChildProcess), which
// prints its report after CheckRunner::reportMarker.
#ifndef VALIDATOR_CHILD_PROCESS_CHECK_RUNNER_H
#define VALIDATOR_CHILD_PROCESS_CHECK_RUNNER_H

#include <string>
#include <utility>
#include <vector>

#include "validator/CheckRunner.h"

namespace zant::validate {

class ChildProcessCheckRunner : public CheckRunner {
public:
    // `arguments`: this run's own, which each child gets again.
    explicit ChildProcessCheckRunner(std::vector<std::string> arguments)
        : arguments_(std::move(arguments)) {}

    // One process per stage, up to the last stage that ends: a crash there
    // must not end the whole run. The checks' own processes then probe up to
    // that stage (`--probe-stage`).
    ComponentProfile learnProfile(CheckContext& context) override;
    void run(const Check& check, const CheckContext& context, CheckReport& result) override;
    std::string note() const override;

private:
    std::vector<std::string> arguments_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHILD_PROCESS_CHECK_RUNNER_H
