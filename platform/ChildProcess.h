// Windows builds: runs this program again as a child process with a time limit
// and collects what it writes to its standard output: how a tool isolates a
// piece of work where it cannot fork (IsolatedWork). zant_validate runs one
// check at a time this way (`--child CHECK`), so that a crash or a hang ends
// that check only.
#ifndef PLATFORM_CHILD_PROCESS_H
#define PLATFORM_CHILD_PROCESS_H

#include <string>
#include <vector>

namespace zant::platform {

struct ChildResult {
    bool started = false;
    bool timedOut = false;
    unsigned long exitCode = 0;
    std::string output;
};

class ChildProcess {
public:
    // Runs this program again with `arguments`; kills it after `timeoutMs`.
    static ChildResult runSelf(const std::vector<std::string>& arguments, int timeoutMs);
    // One argument as the C runtime splits a command line back into argv.
    static std::string quoted(const std::string& argument);
};

}  // namespace zant::platform

#endif  // PLATFORM_CHILD_PROCESS_H
