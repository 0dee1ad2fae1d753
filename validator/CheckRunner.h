// How a run keeps its checks apart from zant_validate itself, so that a
// crash or a hang of the component ends one check only: chosen once for the
// system and the run (forThisRun), so the run itself knows no system.
#ifndef VALIDATOR_CHECK_RUNNER_H
#define VALIDATOR_CHECK_RUNNER_H

#include <memory>
#include <string>

#include "validator/CheckCatalogue.h"
#include "validator/CheckContext.h"
#include "validator/Options.h"

namespace zant::validate {

class CheckRunner {
public:
    // What a child run of zant_validate prints on a line before its report,
    // so that output of the component's own cannot be taken for it.
    static constexpr const char* reportMarker = "@@zant_validate report";

    // POSIX systems, and a child run of zant_validate itself: in this process,
    // each piece of a check forked (InProcessCheckRunner). Windows runs
    // otherwise: each probe and check in a process of its own
    // (ChildProcessCheckRunner).
    static std::unique_ptr<CheckRunner> forThisRun(const Options& options, uint32_t seed);

    virtual ~CheckRunner() = default;
    // What the component has; the layout it loads then stands for the host's
    // layout, unless one was given.
    virtual ComponentProfile learnProfile(CheckContext& context) = 0;
    virtual void run(const Check& check, const CheckContext& context, CheckReport& result) = 0;
    // A line for the heading when checks run otherwise than usual; empty if not.
    virtual std::string note() const { return std::string(); }
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHECK_RUNNER_H
