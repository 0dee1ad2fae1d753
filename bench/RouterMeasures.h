// The measures every router protocol's link benchmarks take against its peer
// on the loopback, so that the protocols are measured the same way in the
// same run: how long a Take waits for the router's report that confirms it,
// and the memory one connected router holds.
//
// Threads: the benchmark's.
#ifndef BENCH_ROUTER_MEASURES_H
#define BENCH_ROUTER_MEASURES_H

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "routers/Router.h"

namespace RouterMeasures {

constexpr int deadlineMs = 5000;
constexpr int startMs = 5000;

// The router of the factory at `address` (the peer's), not yet started;
// null with `error`.
std::unique_ptr<zant::routers::Router> routerAt(const std::string& address, std::string& error);

// From connect() (the Take's request queued) to the takeIn() that brings the
// router's report of that route, for the router at `address` (started
// first) of `ports` x `ports`.
// Each request moves the destination on to the next source, so every one
// changes a route. `pauseUs` above 0: a pause of 0 to pauseUs (a fixed
// pseudo-random sequence, not timed) before each Take, as between an
// operator's presses; 0: Takes back to back. Counters p50_us, p99_us, max_us.
void takeToReport(benchmark::State& state, const std::string& address, int ports, int pauseUs);

// In a child process of its own, so that the heap counted is the router's
// alone and not also the peer's: the bytes the process holds once the router
// at `address` has started, minus those it held before it was made.
// Counters held_bytes, object_bytes.
void connectionMemory(benchmark::State& state, const std::string& address);

}  // namespace RouterMeasures

#endif  // BENCH_ROUTER_MEASURES_H
