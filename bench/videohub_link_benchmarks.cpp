// A Videohub router's connection on the loopback, against the router peer:
// how long a Take waits for the router's status that confirms it, and the
// memory one connected router holds.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchmarkCatalogue.h"
#include "bench/RouterTakeMeter.h"
#include "peers/videohub/VideohubPeer.h"

namespace {

using zant::videohub::PeerOptions;
using zant::videohub::VideohubPeer;

constexpr int ports = 288;

PeerOptions peerOptions(bool longLabels) {
    PeerOptions options;
    options.inputs = ports;
    options.outputs = ports;
    if (longLabels) {
        for (int i = 1; i <= ports; ++i) {
            options.inputLabels.push_back("Studio 3 camera " + std::to_string(i) +
                                          " (long lens, stage left, rig B)");
            options.outputLabels.push_back("Gallery 2 monitor wall " + std::to_string(i) +
                                           " (preview, upper row, left)");
        }
    }
    return options;
}

std::string address(const VideohubPeer& peer) {
    return "videohub://127.0.0.1:" + std::to_string(peer.port());
}

void takeToStatus288(benchmark::State& state, int pauseUs) {
    VideohubPeer peer(peerOptions(false));
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RouterTakeMeter::takes(state, address(peer), ports, pauseUs);
}

void takeToStatus288BackToBack(benchmark::State& state) {
    takeToStatus288(state, 0);
}

void takeToStatus288AfterPause(benchmark::State& state) {
    takeToStatus288(state, 4000);
}

void connectionMemory(benchmark::State& state, bool longLabels) {
    VideohubPeer peer(peerOptions(longLabels));
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RouterTakeMeter::memory(state, address(peer));
}

void connectionMemory288(benchmark::State& state) {
    connectionMemory(state, false);
}

void connectionMemory288LongLabels(benchmark::State& state) {
    connectionMemory(state, true);
}

}  // namespace

void addVideohubLinkBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue
        .add("videohub/takeToStatus288/backToBack", takeToStatus288BackToBack,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue
        .add("videohub/takeToStatus288/afterPause", takeToStatus288AfterPause,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue
        .add("videohub/connectionMemory288", connectionMemory288, BenchmarkCatalogue::Goal::none)
        ->Iterations(1);
    catalogue
        .add("videohub/connectionMemory288/longLabels", connectionMemory288LongLabels,
             BenchmarkCatalogue::Goal::none)
        ->Iterations(1);
}
