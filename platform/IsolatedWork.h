// Runs a piece of a tool's work so that a crash, an abort or a hang of the
// component it calls ends that piece only, within a time limit. POSIX systems
// fork: the child inherits everything the parent prepared and hands back the
// piece's text through a pipe. Windows cannot fork: the piece runs in this
// process, and a tool that must survive it runs itself again for the piece
// instead (ChildProcess).
#ifndef PLATFORM_ISOLATED_WORK_H
#define PLATFORM_ISOLATED_WORK_H

#include <functional>
#include <string>

namespace zant::platform {

struct IsolatedResult {
    enum class End { finished, crashed, timedOut, notStarted };
    End end = End::notStarted;
    int signal = 0;     // crashed: the signal
    int exitCode = 0;   // finished: the exit status (-1: none)
    std::string text;   // finished: what the piece handed back, empty when it handed back none
    std::string error;  // notStarted: why
};

class IsolatedWork {
public:
    // `quiet` sends the piece's own output (the component's) to the null device.
    static IsolatedResult run(const std::function<std::string()>& piece, int timeoutMs, bool quiet);
    // What a crash with `signal` is called in a report.
    static std::string crashText(int signal);
};

}  // namespace zant::platform

#endif  // PLATFORM_ISOLATED_WORK_H
