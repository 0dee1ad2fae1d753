// The console output of libbenchmark, followed by a summary of the run: per
// benchmark the CPU time, the counts, the ratio to the baseline measured in
// the same run and whether its goal was met; then the memory of an instance.
#ifndef BENCH_SUMMARY_REPORTER_H
#define BENCH_SUMMARY_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>

#include "bench/BenchmarkCatalogue.h"

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(const BenchmarkCatalogue& catalogue) : catalogue_(catalogue) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // Writes the summary; the result is the number of allocation goals missed
    // (exact counts; the time ratio is reported, never counted here).
    int printSummary(std::ostream& out) const;

private:
    struct Result {
        double cpuNanoseconds;
        std::map<std::string, double> counters;
    };
    double counter(const Result& result, const char* name) const;

    const BenchmarkCatalogue& catalogue_;
    std::map<std::string, Result> results_;
};

#endif  // BENCH_SUMMARY_REPORTER_H
