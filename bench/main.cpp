// Benchmarks of the component's notification paths, of the helper's
// operations and of reading a router's status dump: time, heap allocations
// and command texts per operation, and the memory of an instance; a summary
// against the goals closes the run.
//
// Besides libbenchmark's flags: --check_allocations makes the exit status
// non-zero when an allocation goal is missed (the counts are exact, so this
// is a stable check; times are never checked).
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>

#include "bench/BenchmarkCatalogue.h"
#include "bench/SummaryReporter.h"

int main(int argc, char** argv) {
    BenchmarkCatalogue catalogue;
    addNotifyBenchmarks(catalogue);
    addHelperBenchmarks(catalogue);
    addMemoryBenchmarks(catalogue);
    addVideohubBenchmarks(catalogue);
    addVideohubLinkBenchmarks(catalogue);
    addSwP08Benchmarks(catalogue);
    addEmberBenchmarks(catalogue);

    benchmark::Initialize(&argc, argv);
    bool checkAllocations = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check_allocations") == 0) {
            checkAllocations = true;
        } else {
            std::cerr << "unknown argument: " << argv[i] << "\n";
            return 2;
        }
    }

    SummaryReporter reporter(catalogue);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const int missed = reporter.printSummary(std::cout);
    benchmark::Shutdown();
    return checkAllocations && missed > 0 ? 1 : 0;
}
