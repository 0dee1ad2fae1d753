// A real router's connection on the loopback, whatever its protocol, against
// a peer already listening: how long a Take waits for the router's report
// that confirms it, and the memory one connected router holds. The
// protocols' benchmarks give the address; the measuring is the same.
//
// Threads: the benchmark's.
#ifndef BENCH_ROUTER_TAKE_METER_H
#define BENCH_ROUTER_TAKE_METER_H

#include <benchmark/benchmark.h>

#include <string>

class RouterTakeMeter {
public:
    // From connect() (the Take's request queued) to the takeIn() that brings
    // the router's report of that route, for the router at `address` with
    // `ports` destinations. Each request moves the destination on to the
    // next source, so every one changes a route. `pauseUs` above 0: a pause
    // of 0 to pauseUs (a fixed pseudo-random sequence, not timed) before
    // each Take, as between an operator's presses; 0: Takes back to back.
    // Counters p50_us, p99_us and max_us.
    static void takes(benchmark::State& state, const std::string& address, int ports, int pauseUs);
    // Measured in a child process of its own, so that the heap counted is
    // the router's alone and not also the peer's (whose threads stay in this
    // one): the bytes the process holds once start() has taken the router's
    // state, minus those it held before the router was made. Counters
    // object_bytes and held_bytes.
    static void memory(benchmark::State& state, const std::string& address);
};

#endif  // BENCH_ROUTER_TAKE_METER_H
