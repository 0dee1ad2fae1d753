#include "bench/RouterTakeMeter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "bench/AllocationCounter.h"
#include "platform/IsolatedWork.h"
#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"

namespace {

using zant::routers::Router;
using zant::routers::RouterFactory;

constexpr int device = 1;
constexpr int deadlineMs = 5000;
constexpr int startMs = 5000;

// The router of the factory at `address`, started; null with `error`.
std::unique_ptr<Router> startedRouter(const std::string& address, std::string& error) {
    const RouterFactory factory = RouterFactory::builtIn();
    zant::routers::RouterAddress where;
    if (!factory.parse(address, where, error)) return nullptr;
    RouterFactory::Settings settings;
    settings.deadlineMs = deadlineMs;
    std::unique_ptr<Router> router = factory.router(device, where, settings, error);
    Router::News news;
    if (router == nullptr || !router->start(startMs, news, error, {})) return nullptr;
    router->takeIn(news);
    return router;
}

// Nearest rank: the smallest sample with at least `fraction` of them at or below it.
double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank =
        static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::min(samples.size(), std::max<size_t>(rank, 1)) - 1];
}

}  // namespace

void RouterTakeMeter::takes(benchmark::State& state, const std::string& address, int ports,
                            int pauseUs) {
    std::string error;
    const std::unique_ptr<Router> made = startedRouter(address, error);
    if (made == nullptr) {
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

void RouterTakeMeter::memory(benchmark::State& state, const std::string& address) {
    double held = 0;
    for (auto _ : state) {
        const auto result = zant::platform::IsolatedWork::run(
            [&address] {
                const std::int64_t before = AllocationCounter::liveBytes();
                std::string failure;
                const std::unique_ptr<Router> router = startedRouter(address, failure);
                if (router == nullptr) return "error " + failure;
                if (!router->settled()) return std::string("error not settled");
                const std::int64_t after = AllocationCounter::liveBytes();
                return std::to_string(after - before);
            },
            2 * startMs, true);
        char* end = nullptr;
        const long long measured = std::strtoll(result.text.c_str(), &end, 10);
        if (result.end != zant::platform::IsolatedResult::End::finished ||
            end == result.text.c_str() || *end != '\0') {
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
