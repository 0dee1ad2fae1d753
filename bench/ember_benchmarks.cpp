// An Ember+ matrix: decoding a 1024 x 1024 matrix's connections and labels
// as a connection receives them, and, against the provider on the loopback,
// how long a Take waits for the provider's confirming report and the memory
// one connected matrix holds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/BenchmarkCatalogue.h"
#include "bench/OperationMeter.h"
#include "bench/RouterTakeMeter.h"
#include "peers/ember/EmberPeer.h"
#include "peers/ember/EmberProviderState.h"
#include "routers/EmberProtocol.h"
#include "routers/RouterPicture.h"

namespace {

using zant::routers::EmberPeer;
using zant::routers::EmberPeerOptions;
using zant::routers::EmberProtocol;
using zant::routers::EmberProviderOptions;
using zant::routers::EmberProviderState;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;

constexpr size_t segment = 1460;
constexpr int linkPorts = 288;

EmberProviderOptions matrixOf(int ports) {
    EmberProviderOptions options;
    options.targets = ports;
    options.sources = ports;
    for (int i = 0; i < ports; ++i) options.routes.push_back((i * 7) % ports);
    return options;
}

// What the provider sends a new consumer until its start is complete, as
// one byte string, taken from a conversation held once.
std::string startBytes(int ports) {
    EmberProviderState provider(matrixOf(ports));
    const int consumer = provider.connect();
    EmberProtocol protocol({"router", "video"});
    std::string all;
    std::string send;
    protocol.connected(send);
    std::vector<RouterUpdate> updates;
    for (int round = 0; round < 8 && !send.empty(); ++round) {
        const auto sends = provider.receive(
            consumer, reinterpret_cast<const std::uint8_t*>(send.data()), send.size());
        send.clear();
        for (const EmberProviderState::Send& each : sends) {
            const std::string bytes(each.bytes.begin(), each.bytes.end());
            all += bytes;
            protocol.received(bytes.data(), bytes.size(), updates, send);
        }
    }
    return all;
}

// A new connection's protocol and picture each time, fed in TCP segments.
void matrixStart1024(benchmark::State& state) {
    const std::string bytes = startBytes(1024);
    std::vector<RouterUpdate> updates;
    std::string send;
    OperationMeter meter;
    meter.start();
    for (auto _ : state) {
        EmberProtocol protocol({"router", "video"});
        RouterPicture picture(protocol.maxPorts(), protocol.maxLabel());
        protocol.connected(send);
        updates.clear();
        send.clear();
        for (size_t at = 0; at < bytes.size(); at += segment) {
            protocol.received(bytes.data() + at, std::min(segment, bytes.size() - at), updates,
                              send);
        }
        for (const RouterUpdate& update : updates) {
            benchmark::DoNotOptimize(picture.apply(update));
        }
        if (picture.destinations() != 1024) state.SkipWithError("the matrix was not read");
    }
    meter.stop();
    meter.report(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytes.size()));
    state.counters["start_bytes"] = static_cast<double>(bytes.size());
}

std::string address(const EmberPeer& peer) {
    return "ember://127.0.0.1:" + std::to_string(peer.port()) + "/router.video";
}

// The provider of a 288 x 288 matrix, listening; false: the benchmark skips.
bool started(EmberPeer& peer, benchmark::State& state) {
    std::string error;
    if (peer.start(error)) return true;
    state.SkipWithError(error.c_str());
    return false;
}

EmberPeerOptions linkPeer() {
    EmberPeerOptions options;
    options.provider = matrixOf(linkPorts);
    return options;
}

void takeToReport288(benchmark::State& state, int pauseUs) {
    EmberPeer peer(linkPeer());
    if (started(peer, state)) {
        RouterTakeMeter::takes(state, address(peer), linkPorts, pauseUs);
    }
}

void takeToReport288BackToBack(benchmark::State& state) {
    takeToReport288(state, 0);
}

void takeToReport288AfterPause(benchmark::State& state) {
    takeToReport288(state, 4000);
}

void connectionMemory288(benchmark::State& state) {
    EmberPeer peer(linkPeer());
    if (started(peer, state)) RouterTakeMeter::memory(state, address(peer));
}

}  // namespace

void addEmberBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add("ember/matrixStart1024", matrixStart1024, BenchmarkCatalogue::Goal::none)
        ->Unit(benchmark::kMillisecond);
    catalogue
        .add("ember/takeToReport288/backToBack", takeToReport288BackToBack,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue
        .add("ember/takeToReport288/afterPause", takeToReport288AfterPause,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue.add("ember/connectionMemory288", connectionMemory288, BenchmarkCatalogue::Goal::none)
        ->Iterations(1);
}
