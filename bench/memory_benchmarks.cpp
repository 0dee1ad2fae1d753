// The memory one component instance holds once it has taken on a router.
#include <benchmark/benchmark.h>

#include "bench/AllocationCounter.h"
#include "bench/BenchmarkCatalogue.h"
#include "bench/ComponentRig.h"

namespace {

using Goal = BenchmarkCatalogue::Goal;

// Builds a component, applies `instance`, and reports the object's size and
// the heap it then holds (usable sizes of its live blocks). The host
// allocates nothing, and the message's own buffers are gone by then.
void instanceMemory(benchmark::State& state, const char* instance) {
    if (!ComponentRig::installationReady()) {
        state.SkipWithError("cannot create the temporary installation folder");
        return;
    }
    CountingHost host;
    ComponentRig::prepareHost(host);
    std::int64_t heapHeld = 0;
    for (auto _ : state) {
        const std::int64_t before = AllocationCounter::liveBytes();
        // On the stack, so the heap counted is what the object holds.
        Quorvex component(&host, "panels/take");
        zant_client_callback* callback = &component;
        char* reply = callback->notify(const_cast<char*>(instance), zantParentMessage);
        callback->notify(reply, zantReleaseReply);
        heapHeld = AllocationCounter::liveBytes() - before;
    }
    state.counters["object_bytes"] = static_cast<double>(sizeof(Quorvex));
    state.counters["heap_bytes"] = static_cast<double>(heapHeld);
}

void instanceMemory16(benchmark::State& state) {
    instanceMemory(state, "instance=small");
}

void instanceMemory4096(benchmark::State& state) {
    instanceMemory(state, "instance=large");
}

}  // namespace

void addMemoryBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add("memory/instance/16", instanceMemory16, Goal::none)->Iterations(10);
    catalogue.add("memory/instance/4096", instanceMemory4096, Goal::none)->Iterations(10);
}
