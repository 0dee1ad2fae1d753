// Captures the debugger output of this process while it lives, so that a run
// can tell when a component's helper reported a handler that threw. On POSIX
// systems the debugger output is standard error, which goes to a temporary
// file meanwhile; Windows builds write it to the debugger, which cannot be
// read here (readable() is false, and nothing is captured).
#ifndef PLATFORM_DEBUG_OUTPUT_TAP_H
#define PLATFORM_DEBUG_OUTPUT_TAP_H

#include <cstdio>
#include <string>

class DebugOutputTap {
public:
    // `echo` also passes the captured text on to the real standard error,
    // at each take() and at the end.
    explicit DebugOutputTap(bool echo);
    ~DebugOutputTap();
    DebugOutputTap(const DebugOutputTap&) = delete;
    DebugOutputTap& operator=(const DebugOutputTap&) = delete;

    static bool readable();
    // The first line written since the last call that starts with `prefix`;
    // empty for none.
    std::string take(const char* prefix);

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
    long read_ = 0;
    bool echo_;
};

#endif  // PLATFORM_DEBUG_OUTPUT_TAP_H
