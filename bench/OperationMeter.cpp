#include "bench/OperationMeter.h"

#include "bench/AllocationCounter.h"

void OperationMeter::start() {
    if (running_) return;
    running_ = true;
    commandsAtStart_ = commandsNow();
    allocationsAtStart_ = AllocationCounter::allocations();
    AllocationCounter::setCounting(true);
}

void OperationMeter::stop() {
    if (!running_) return;
    AllocationCounter::setCounting(false);
    allocations_ += AllocationCounter::allocations() - allocationsAtStart_;
    commands_ += commandsNow() - commandsAtStart_;
    running_ = false;
}

void OperationMeter::report(benchmark::State& state, double textsPerOperation) const {
    const double operations = static_cast<double>(state.iterations());
    if (operations <= 0) return;
    const double allocations = static_cast<double>(allocations_);
    const double commands = static_cast<double>(commands_);
    state.counters["allocs"] = allocations / operations;
    state.counters["cmds"] = commands / operations;
    if (commands_ > 0) state.counters["allocs/cmd"] = allocations / commands;
    const double texts = commands + textsPerOperation * operations;
    if (texts > 0) state.counters["allocs/text"] = allocations / texts;
}
