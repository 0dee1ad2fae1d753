// The binary router protocol: a router's connection on the loopback against
// its peer (how long a Take waits for the CONNECTED that confirms it, and
// the memory one connected router holds), in the same run as the Videohub
// figures, and the protocol and picture taking a 1024 x 1024 router's tally
// dump as a connection receives it, in pieces of one TCP segment.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchmarkCatalogue.h"
#include "bench/DumpMeter.h"
#include "bench/RouterTakeMeter.h"
#include "peers/swp08/SwP08Peer.h"
#include "routers/SwP08Protocol.h"

namespace {

using zant::routers::RouterUpdate;
using zant::routers::SwP08Frame;
using zant::routers::SwP08Message;
using zant::routers::SwP08Peer;
using zant::routers::SwP08PeerOptions;
using zant::routers::SwP08PeerTiming;
using zant::routers::SwP08Protocol;

constexpr int ports = 288;
constexpr int dumpPorts = 1024;

std::string address(const SwP08Peer& peer) {
    return "swp08://127.0.0.1:" + std::to_string(peer.port());
}

SwP08PeerOptions peerOptions() {
    SwP08PeerOptions options;
    options.sources = ports;
    options.destinations = ports;
    return options;
}

void takeToConnected288(benchmark::State& state, int pauseUs) {
    SwP08Peer peer(peerOptions(), SwP08PeerTiming{});
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RouterTakeMeter::takes(state, address(peer), ports, pauseUs);
}

void takeToConnected288BackToBack(benchmark::State& state) {
    takeToConnected288(state, 0);
}

void takeToConnected288AfterPause(benchmark::State& state) {
    takeToConnected288(state, 4000);
}

void connectionMemory288(benchmark::State& state) {
    SwP08Peer peer(peerOptions(), SwP08PeerTiming{});
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RouterTakeMeter::memory(state, address(peer));
}

// The frames of a whole message split as a router sends it.
std::string frames(const SwP08Message& whole) {
    std::string bytes;
    for (const SwP08Message& piece : whole.split()) {
        const SwP08Frame::Bytes frame = SwP08Frame::encode(piece.encode());
        bytes.append(frame.begin(), frame.end());
    }
    return bytes;
}

// A 1024 x 1024 router, each destination on another source: its dump in
// the word form, 64 sources a message.
std::string tallyDump() {
    SwP08Message dump;
    dump.kind = SwP08Message::Kind::tallyDump;
    for (int i = 0; i < dumpPorts; ++i) dump.sources.push_back((i * 7 + 3) % dumpPorts);
    return frames(dump);
}

// A connection whose start has ended (its sizes given, its names come): the
// dump after it is all route updates.
SwP08Protocol startedProtocol() {
    SwP08Protocol::Settings settings;
    settings.sources = dumpPorts;
    settings.destinations = dumpPorts;
    SwP08Protocol protocol(settings);
    std::string send;
    protocol.connected(send);
    SwP08Message names;
    names.names.assign(dumpPorts, "Camera");
    std::string start = "\x10\x06";
    names.kind = SwP08Message::Kind::sourceNames;
    start += frames(names) + "\x10\x06";
    names.kind = SwP08Message::Kind::destinationNames;
    start += frames(names) + "\x10\x06" + tallyDump();
    std::vector<RouterUpdate> updates;
    protocol.received(start.data(), start.size(), updates, send);
    return protocol;
}

void tallyDump1024(benchmark::State& state) {
    const SwP08Protocol started = startedProtocol();
    if (!started.started()) {
        state.SkipWithError("the start did not end");
        return;
    }
    DumpMeter::measure(state, started, tallyDump());
}

}  // namespace

void addSwP08Benchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add("swp08/tallyDump1024", tallyDump1024, BenchmarkCatalogue::Goal::none)
        ->Unit(benchmark::kMicrosecond);
    catalogue
        .add("swp08/takeToConnected288/backToBack", takeToConnected288BackToBack,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue
        .add("swp08/takeToConnected288/afterPause", takeToConnected288AfterPause,
             BenchmarkCatalogue::Goal::none)
        ->UseManualTime()
        ->Iterations(500)
        ->Unit(benchmark::kMicrosecond);
    catalogue.add("swp08/connectionMemory288", connectionMemory288, BenchmarkCatalogue::Goal::none)
        ->Iterations(1);
}
