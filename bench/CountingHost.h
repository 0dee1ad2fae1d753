// A host for the benchmarks: counts the command texts it is sent (mode 0),
// answers a few of them from a fixed table and does nothing else.
//
// It allocates nothing on any call, and heap counting is off while it runs,
// so what a benchmark counts is the component's work alone. Replies are its
// own fixed buffers: released replies (mode 5) are simply forgotten.
#ifndef BENCH_COUNTING_HOST_H
#define BENCH_COUNTING_HOST_H

#include <cstdint>

#include "host/zant_host.h"

class CountingHost : public zant_host {
public:
    char* execute(const char* text, int mode) override;

    // Commands that start with `prefix` are answered with `reply` (the first
    // matching entry wins). Both are copied; set-up only.
    void answer(const char* prefix, const char* reply);

    std::uint64_t commands() const { return commands_; }

private:
    static constexpr int maxAnswers = 8;
    static constexpr int maxText = 64;
    struct Answer {
        char prefix[maxText];
        char reply[maxText];
    };
    Answer answers_[maxAnswers] = {};
    int answerCount_ = 0;
    std::uint64_t commands_ = 0;
};

#endif  // BENCH_COUNTING_HOST_H
