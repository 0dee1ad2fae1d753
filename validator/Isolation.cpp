#include "validator/Isolation.h"

#include <chrono>

#include "platform/IsolatedWork.h"

namespace zant::validate {

using zant::platform::IsolatedResult;

std::string Outcome::summary() const {
    switch (status) {
        case Status::crashed:
            return zant::platform::IsolatedWork::crashText(signal);
        case Status::timedOut:
            return "hung: no end within the time limit";
        case Status::lost:
            return "the process ended (status " + std::to_string(exitCode) + ") without a verdict";
        case Status::passed:
        case Status::failed:
            break;
    }
    return report.substr(0, report.find('\n'));
}

bool Outcome::sameFault(const Outcome& other) const {
    return status == other.status && signal == other.signal;
}

Outcome Isolation::run(const std::function<bool(std::string& report)>& body) const {
    const auto start = std::chrono::steady_clock::now();
    // The verdict travels as the first character of the piece's text.
    const IsolatedResult result = zant::platform::IsolatedWork::run(
        [&] {
            std::string report;
            return (body(report) ? "P" : "F") + report;
        },
        timeoutMs_, quiet_);
    Outcome outcome;
    if (result.end == IsolatedResult::End::notStarted) {
        outcome.report = result.error;
        return outcome;
    }
    outcome.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (result.end == IsolatedResult::End::timedOut) {
        outcome.status = Outcome::Status::timedOut;
    } else if (result.end == IsolatedResult::End::crashed) {
        outcome.status = Outcome::Status::crashed;
        outcome.signal = result.signal;
    } else if (result.text.empty()) {
        outcome.status = Outcome::Status::lost;
        outcome.exitCode = result.exitCode;
    } else {
        outcome.status = result.text[0] == 'P' ? Outcome::Status::passed : Outcome::Status::failed;
        outcome.report = result.text.substr(1);
    }
    return outcome;
}

}  // namespace zant::validate
