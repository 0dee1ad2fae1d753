// Runs lists of steps on fresh components, each list in a child process, and
// turns the first failure into a report: the fault, the shortest sequence of
// the list's steps that still shows it, and the commands sent around it.
#ifndef VALIDATOR_SCRIPTED_RUN_H
#define VALIDATOR_SCRIPTED_RUN_H

#include <vector>

#include "validator/CheckContext.h"
#include "validator/CheckReport.h"
#include "validator/Player.h"
#include "validator/Step.h"

namespace zant::validate {

class ScriptedRun {
public:
    // `ownsEnds`: a crash or a hang in these runs is the check's own fault;
    // otherwise it leaves the check not run, for the check whose situation
    // it is.
    ScriptedRun(const CheckContext& context, PlayConfig config, bool ownsEnds)
        : context_(context), config_(std::move(config)), ownsEnds_(ownsEnds) {}

    // Fills `report` (verdict, summary, sequence, commands); true when every
    // list passed.
    bool run(const std::vector<std::vector<Step>>& scripts, CheckReport& report) const;

private:
    Outcome play(const std::vector<Step>& steps, const std::vector<size_t>* only) const;
    // The index of the step at fault, or where the child was when it ended.
    long faultStep(const Outcome& outcome) const;

    const CheckContext& context_;
    PlayConfig config_;
    bool ownsEnds_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_SCRIPTED_RUN_H
