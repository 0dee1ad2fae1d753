// The benchmarks of this binary with the goal each one is held to, so the
// summary after the run can say which goals were met.
#ifndef BENCH_BENCHMARK_CATALOGUE_H
#define BENCH_BENCHMARK_CATALOGUE_H

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

class BenchmarkCatalogue {
public:
    enum class Goal {
        none,          // reported only (the baseline, memory)
        noAllocation,  // allocates nothing
        nearBaseline,  // allocates nothing and costs at most 2x the baseline
        perText,       // at most 2 allocations per command sent (per text parsed or
                       // handed back, for a path that sends no command)
    };

    struct Entry {
        std::string name;
        Goal goal;
        // Units of work per operation (revertives in a poll); the summary
        // gives the time per unit next to the baseline.
        int unitsPerOperation;
    };

    static constexpr const char* baselineName = "baseline/indirectStore";
    static constexpr double maxBaselineRatio = 2.0;
    static constexpr double maxAllocationsPerText = 2.0;

    using Function = void (*)(benchmark::State&);
    // Registers `function` under `name` (times in nanoseconds).
    benchmark::internal::Benchmark* add(const std::string& name, Function function, Goal goal,
                                        int unitsPerOperation = 1);

    const std::vector<Entry>& entries() const { return entries_; }
    const Entry* find(const std::string& name) const;

private:
    std::vector<Entry> entries_;
};

// Registration of each group of benchmarks.
void addNotifyBenchmarks(BenchmarkCatalogue& catalogue);
void addHelperBenchmarks(BenchmarkCatalogue& catalogue);
void addMemoryBenchmarks(BenchmarkCatalogue& catalogue);
void addVideohubBenchmarks(BenchmarkCatalogue& catalogue);
void addVideohubLinkBenchmarks(BenchmarkCatalogue& catalogue);
void addSwP08Benchmarks(BenchmarkCatalogue& catalogue);
void addEmberBenchmarks(BenchmarkCatalogue& catalogue);

#endif  // BENCH_BENCHMARK_CATALOGUE_H
