// The Videohub protocol's reader and picture taking a whole status dump, as
// a connection receives it: in pieces of one TCP segment.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchmarkCatalogue.h"
#include "bench/DumpMeter.h"
#include "routers/VideohubProtocol.h"

namespace {

using zant::routers::VideohubProtocol;

constexpr int ports = 288;

std::string statusDump() {
    std::string text =
        "PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n"
        "Model name: Router 288\nFriendly name: Studio A\nVideo inputs: 288\n"
        "Video outputs: 288\n\nINPUT LABELS:\n";
    for (int i = 0; i < ports; ++i)
        text += std::to_string(i) + " Camera " + std::to_string(i + 1) + "\n";
    text += "\nOUTPUT LABELS:\n";
    for (int i = 0; i < ports; ++i)
        text += std::to_string(i) + " Monitor " + std::to_string(i + 1) + "\n";
    text += "\nVIDEO OUTPUT LOCKS:\n";
    for (int i = 0; i < ports; ++i) text += std::to_string(i) + (i % 5 == 0 ? " L\n" : " U\n");
    text += "\nVIDEO OUTPUT ROUTING:\n";
    for (int i = 0; i < ports; ++i)
        text += std::to_string(i) + " " + std::to_string((i * 7) % ports) + "\n";
    return text + "\n";
}

// A new connection's protocol and picture each time: the dump is all news.
void statusDump288(benchmark::State& state) {
    DumpMeter::measure(state, VideohubProtocol(), statusDump());
}

}  // namespace

void addVideohubBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add("videohub/statusDump288", statusDump288, BenchmarkCatalogue::Goal::none)
        ->Unit(benchmark::kMicrosecond);
}
