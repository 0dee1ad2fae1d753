// Runs a piece of a validation isolated with a time limit
// (platform/IsolatedWork), so that a crash, an abort or a hang of the
// component ends that piece only and is reported with its signal. Windows
// builds run the piece in this process; there zant_validate runs each whole
// check in a process of its own instead (platform/ChildProcess).
#ifndef VALIDATOR_ISOLATION_H
#define VALIDATOR_ISOLATION_H

#include <functional>
#include <string>

namespace zant::validate {

struct Outcome {
    enum class Status { passed, failed, crashed, timedOut, lost };
    Status status = Status::lost;
    int signal = 0;    // crashed: the signal
    int exitCode = 0;  // lost: the exit status of a child that ended without a verdict
    std::string report;
    double ms = 0;

    bool passed() const { return status == Status::passed; }
    // One line: the report's first line, or what ended the child.
    std::string summary() const;
    // Same status and signal, or both failed: a shrunk run still shows the fault.
    bool sameFault(const Outcome& other) const;
};

class Isolation {
public:
    // `quiet` sends the child's own output (the component's) to /dev/null.
    Isolation(int timeoutMs, bool quiet) : timeoutMs_(timeoutMs), quiet_(quiet) {}

    // `body` returns true for a pass and leaves its report in the string.
    Outcome run(const std::function<bool(std::string& report)>& body) const;

    int timeoutMs() const { return timeoutMs_; }

private:
    int timeoutMs_;
    bool quiet_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_ISOLATION_H
