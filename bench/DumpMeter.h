// A router protocol and its picture taking a whole dump as a connection
// receives it, in pieces of one TCP segment: a new protocol (a copy of
// `start`) and picture each time, so the dump is all news. Time, heap
// allocations, bytes a second and the counter dump_bytes.
//
// Threads: the benchmark's.
#ifndef BENCH_DUMP_METER_H
#define BENCH_DUMP_METER_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/OperationMeter.h"
#include "routers/RouterPicture.h"
#include "routers/RouterUpdate.h"

class DumpMeter {
public:
    static constexpr size_t segment = 1460;

    template <class Protocol>
    static void measure(benchmark::State& state, const Protocol& start, const std::string& dump) {
        std::vector<zant::routers::RouterUpdate> updates;
        std::string send;
        OperationMeter meter;
        meter.start();
        for (auto _ : state) {
            Protocol protocol = start;
            zant::routers::RouterPicture picture(protocol.maxPorts(), protocol.maxLabel());
            updates.clear();
            send.clear();
            for (size_t at = 0; at < dump.size(); at += segment) {
                protocol.received(dump.data() + at, std::min(segment, dump.size() - at), updates,
                                  send);
            }
            for (const zant::routers::RouterUpdate& update : updates) {
                benchmark::DoNotOptimize(picture.apply(update));
            }
        }
        meter.stop();
        meter.report(state);
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                                static_cast<int64_t>(dump.size()));
        state.counters["dump_bytes"] = static_cast<double>(dump.size());
    }
};

#endif  // BENCH_DUMP_METER_H
