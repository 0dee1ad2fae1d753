// Counts, over the measured parts of a benchmark's loop, the heap allocations
// and the command texts sent to a CountingHost, and reports them per
// operation as benchmark counters:
//   allocs      allocations per operation
//   cmds        command texts sent per operation (mode-0 calls)
//   allocs/cmd  allocations per command text sent (only when commands were sent)
// The counts are exact; only the times depend on the machine.
#ifndef BENCH_OPERATION_METER_H
#define BENCH_OPERATION_METER_H

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/CountingHost.h"

class OperationMeter {
public:
    // `host` may be null for paths that send nothing.
    explicit OperationMeter(const CountingHost* host = nullptr) : host_(host) {}
    ~OperationMeter() { stop(); }
    OperationMeter(const OperationMeter&) = delete;
    OperationMeter& operator=(const OperationMeter&) = delete;

    // Brackets one measured part; set-up outside start/stop is not counted.
    void start();
    void stop();

    // `textsPerOperation`: further texts handed to the host per operation
    // besides commands (a kind-3 reply) or parsed (a parser's input); they
    // count as texts in "allocs/text".
    void report(benchmark::State& state, double textsPerOperation = 0) const;

private:
    std::uint64_t commandsNow() const { return host_ != nullptr ? host_->commands() : 0; }

    const CountingHost* host_;
    bool running_ = false;
    std::uint64_t allocationsAtStart_ = 0;
    std::uint64_t commandsAtStart_ = 0;
    std::uint64_t allocations_ = 0;
    std::uint64_t commands_ = 0;
};

#endif  // BENCH_OPERATION_METER_H
