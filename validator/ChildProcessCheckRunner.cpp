#include "validator/ChildProcessCheckRunner.h"

#include <cstdio>
#include <iterator>

#include "platform/ChildProcess.h"
#include "validator/RunReport.h"

namespace zant::validate {

using zant::platform::ChildProcess;
using zant::platform::ChildResult;

namespace {

// What a child run printed after the marker's line (which text mode ends
// with CR LF); npos in `at` when it printed none.
std::string childReport(const ChildResult& child, size_t& at) {
    const size_t marker = child.output.find(CheckRunner::reportMarker);
    at = marker == std::string::npos ? marker : child.output.find('\n', marker);
    return at == std::string::npos ? std::string() : child.output.substr(at + 1);
}

}  // namespace

ComponentProfile ChildProcessCheckRunner::learnProfile(CheckContext& context) {
    ComponentProfile profile;
    int lastGood = -1;
    for (int stage = 0; stage < static_cast<int>(std::size(ComponentProfile::stages)); ++stage) {
        std::vector<std::string> probe = arguments_;
        probe.insert(probe.end(), {"--probe-stage", std::to_string(stage), "--probe"});
        size_t at = 0;
        const std::string report =
            childReport(ChildProcess::runSelf(probe, context.settings.timeoutMs), at);
        if (at == std::string::npos) break;
        profile = ComponentProfile::parse(report);
        lastGood = stage;
    }
    arguments_.insert(arguments_.end(), {"--probe-stage", std::to_string(lastGood)});
    if (context.settings.layout.empty()) context.settings.layout = profile.layoutControls;
    return profile;
}

void ChildProcessCheckRunner::run(const Check& check, const CheckContext& context,
                                  CheckReport& result) {
    std::vector<std::string> withCheck = arguments_;
    withCheck.insert(withCheck.end(), {"--child", check.name});
    const ChildResult child = ChildProcess::runSelf(withCheck, context.settings.timeoutMs);
    size_t report = 0;
    const std::string json = childReport(child, report);
    if (!child.started) {
        result.fail("cannot start a child process");
    } else if (child.timedOut) {
        result.fail("hung: no end within the time limit");
    } else if (report == std::string::npos || !RunReport::parseCheck(json, result)) {
        char code[64];
        std::snprintf(code, sizeof code, "crashed (exit code 0x%08lx)", child.exitCode);
        result.fail(code);
    }
}

std::string ChildProcessCheckRunner::note() const {
    return "note: each check runs in a process of its own, in one piece: a failure shows no "
           "shortest sequence\n";
}

}  // namespace zant::validate
