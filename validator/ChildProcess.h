// Windows builds: runs a program as a child process with a time limit and
// collects what it writes to its standard output. zant_validate re-runs
// itself this way for one check at a time (`--child CHECK`), so that a crash
// or a hang ends that check only.
#ifndef VALIDATOR_CHILD_PROCESS_H
#define VALIDATOR_CHILD_PROCESS_H

#include <string>
#include <vector>

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

#endif  // VALIDATOR_CHILD_PROCESS_H
