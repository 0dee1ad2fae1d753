// A real router's connection on the loopback, against the router peer: how
// long a Take waits for the router's status that confirms it, and the memory
// one connected router holds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/AllocationCounter.h"
#include "bench/BenchmarkCatalogue.h"
#include "peers/videohub/VideohubPeer.h"
#include "platform/IsolatedWork.h"
#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"

namespace {

using zant::routers::Router;
using zant::routers::RouterFactory;
using zant::videohub::PeerOptions;
using zant::videohub::VideohubPeer;

constexpr int ports = 288;
constexpr int device = 1;
constexpr int deadlineMs = 5000;
constexpr int startMs = 5000;

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

// The router of the factory at the peer's port, not yet started.
std::unique_ptr<Router> peerRouter(int port, std::string& error) {
    const RouterFactory factory = RouterFactory::builtIn();
    zant::routers::RouterAddress address;
    if (!factory.parse("videohub://127.0.0.1:" + std::to_string(port), address, error)) {
        return nullptr;
    }
    RouterFactory::Settings settings;
    settings.deadlineMs = deadlineMs;
    return factory.router(device, address, settings, error);
}

bool started(Router& router, Router::News& news, std::string& error) {
    return router.start(startMs, news, error, {});
}

// Nearest rank: the smallest sample with at least `fraction` of them at or below it.
double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank = static_cast<size_t>(std::ceil(fraction * samples.size()));
    return samples[std::min(samples.size(), std::max<size_t>(rank, 1)) - 1];
}

// From connect() (the Take's request queued) to the takeIn() that brings the
// router's status with that route. Each request moves the destination on to
// the next source, so every one changes a route. `pauseUs` above 0: a pause
// of 0 to pauseUs (a fixed pseudo-random sequence, not timed) before each
// Take, as between an operator's presses; 0: Takes back to back.
void takeToStatus288(benchmark::State& state, int pauseUs) {
    VideohubPeer peer(peerOptions(false));
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::unique_ptr<Router> made = peerRouter(peer.port(), error);
    Router::News dumpNotes;
    if (made == nullptr || !started(*made, dumpNotes, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Router& router = *made;
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(state.max_iterations));
    Router::News news;
    int destination = 0;
    unsigned pauseSeed = 12345;
    for (auto _ : state) {
        if (pauseUs > 0) {
            pauseSeed = pauseSeed * 1103515245u + 12345u;
            const int pause = static_cast<int>((pauseSeed >> 8) % static_cast<unsigned>(pauseUs));
            std::this_thread::sleep_for(std::chrono::microseconds(pause));
        }
        destination = destination % ports + 1;
        const int source = router.source(destination) % ports + 1;
        news = Router::News();
        const auto asked = std::chrono::steady_clock::now();
        router.connect(source, destination);
        bool confirmed = false;
        while (!confirmed) {
            router.takeIn(news);
            for (const auto& routed : news.routed) {
                confirmed = confirmed || (routed.first == destination && routed.second == source);
            }
            if (!news.said.empty()) break;
            if (!confirmed) std::this_thread::yield();
        }
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - asked;
        if (!confirmed) {
            const std::string why = news.said.empty() ? std::string("not confirmed")
                                                      : news.said.front().sentence(router.title());
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(waited.count());
        samples.push_back(waited.count() * 1e6);
    }
    state.counters["p50_us"] = percentile(samples, 0.50);
    state.counters["p99_us"] = percentile(samples, 0.99);
    state.counters["max_us"] = percentile(samples, 1.0);
}

void takeToStatus288BackToBack(benchmark::State& state) {
    takeToStatus288(state, 0);
}

void takeToStatus288AfterPause(benchmark::State& state) {
    takeToStatus288(state, 4000);
}

// Measured in a child process of its own, so that the heap counted is the
// router's alone and not also the peer's (whose threads stay in this one):
// the bytes the process holds once start() has taken the status dump, minus
// those it held before the router was made.
void connectionMemory(benchmark::State& state, bool longLabels) {
    VideohubPeer peer(peerOptions(longLabels));
    std::string error;
    if (!peer.start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int port = peer.port();
    double held = 0;
    for (auto _ : state) {
        const auto result = zant::platform::IsolatedWork::run(
            [port] {
                const std::int64_t before = AllocationCounter::liveBytes();
                std::string failure;
                const std::unique_ptr<Router> router = peerRouter(port, failure);
                Router::News news;
                if (router == nullptr || !started(*router, news, failure)) {
                    return "error " + failure;
                }
                router->takeIn(news);
                if (!router->settled()) return std::string("error not settled");
                const std::int64_t after = AllocationCounter::liveBytes();
                return std::to_string(after - before);
            },
            2 * startMs, true);
        long long measured = 0;
        if (result.end != zant::platform::IsolatedResult::End::finished ||
            std::sscanf(result.text.c_str(), "%lld", &measured) != 1) {
            const std::string why =
                result.text.empty() ? "the measuring child failed" : result.text;
            state.SkipWithError(why.c_str());
            break;
        }
        held = static_cast<double>(measured);
    }
    state.counters["object_bytes"] = static_cast<double>(sizeof(zant::routers::NetworkRouter));
    state.counters["held_bytes"] = held;
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
