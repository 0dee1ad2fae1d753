#include "bench/BenchmarkCatalogue.h"

benchmark::internal::Benchmark* BenchmarkCatalogue::add(const std::string& name, Function function,
                                                        Goal goal, int unitsPerOperation) {
    entries_.push_back({name, goal, unitsPerOperation});
    return benchmark::RegisterBenchmark(name.c_str(), function)->Unit(benchmark::kNanosecond);
}

const BenchmarkCatalogue::Entry* BenchmarkCatalogue::find(const std::string& name) const {
    for (const Entry& entry : entries_) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}
