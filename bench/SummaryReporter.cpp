#include "bench/SummaryReporter.h"

#include <cstdio>

namespace {

using Goal = BenchmarkCatalogue::Goal;

const char* goalText(Goal goal) {
    switch (goal) {
        case Goal::noAllocation:
            return "0 allocs";
        case Goal::nearBaseline:
            return "0 allocs, <=2x base";
        case Goal::perText:
            return "<=2 allocs/cmd";
        case Goal::none:
            break;
    }
    return "-";
}

std::string format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
        Result result;
        result.cpuNanoseconds =
            run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        for (const auto& entry : run.counters) result.counters[entry.first] = entry.second.value;
        // With repetitions the fastest counts: on a shared machine the
        // slower ones measure the neighbours.
        const std::string name = run.run_name.function_name;
        auto found = results_.find(name);
        if (found == results_.end() || result.cpuNanoseconds < found->second.cpuNanoseconds) {
            results_[name] = result;
        }
    }
}

double SummaryReporter::counter(const Result& result, const char* name) const {
    const auto found = result.counters.find(name);
    return found == result.counters.end() ? -1 : found->second;
}

int SummaryReporter::printSummary(std::ostream& out) const {
    const auto baseline = results_.find(BenchmarkCatalogue::baselineName);
    const double baselineNs = baseline == results_.end() ? 0 : baseline->second.cpuNanoseconds;

    int missed = 0;
    out << "\nSummary (CPU time per operation; counts are exact)\n\n"
        << "| Path | ns/op | allocs/op | cmds/op | allocs/cmd | allocs/text | x baseline | goal "
           "| met |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---|---|\n";
    for (const BenchmarkCatalogue::Entry& entry : catalogue_.entries()) {
        const auto found = results_.find(entry.name);
        if (found == results_.end()) continue;
        const Result& result = found->second;
        if (result.counters.count("allocs") == 0) continue;  // not an operation
        const double allocations = counter(result, "allocs");
        const double perCommand = counter(result, "allocs/cmd");
        const double perText = counter(result, "allocs/text");
        const double unitNs = result.cpuNanoseconds / entry.unitsPerOperation;
        const double ratio = baselineNs > 0 ? unitNs / baselineNs : -1;

        bool allocationsMet = true;
        bool met = true;
        switch (entry.goal) {
            case Goal::noAllocation:
                allocationsMet = allocations == 0;
                met = allocationsMet;
                break;
            case Goal::nearBaseline:
                allocationsMet = allocations == 0;
                met = allocationsMet && ratio >= 0 && ratio <= BenchmarkCatalogue::maxBaselineRatio;
                break;
            case Goal::perText:
                // Per command sent; a path that sends none is held to the
                // texts it parses or hands back instead.
                allocationsMet = (perCommand >= 0 ? perCommand : perText) <=
                                 BenchmarkCatalogue::maxAllocationsPerText;
                met = allocationsMet;
                break;
            case Goal::none:
                break;
        }
        if (!allocationsMet) ++missed;

        std::string time = format("%.1f", result.cpuNanoseconds);
        if (entry.unitsPerOperation > 1) {
            time += format(" (%.2f/revertive)", unitNs);
        }
        out << "| " << entry.name << " | " << time << " | " << format("%.2f", allocations) << " | "
            << format("%.2f", counter(result, "cmds")) << " | "
            << (perCommand >= 0 ? format("%.2f", perCommand) : "-") << " | "
            << (perText >= 0 ? format("%.2f", perText) : "-") << " | "
            << (ratio >= 0 && entry.goal == Goal::nearBaseline ? format("%.2f", ratio) : "-")
            << " | "
            << (entry.goal == Goal::perText && perCommand < 0 ? "<=2 allocs/text"
                                                              : goalText(entry.goal))
            << " | "
            << (entry.goal == Goal::none ? "-"
                : met                    ? "yes"
                                         : "NO")
            << " |\n";
    }

    out << "\n| Instance memory | object bytes | heap bytes |\n|---|---:|---:|\n";
    for (const BenchmarkCatalogue::Entry& entry : catalogue_.entries()) {
        const auto found = results_.find(entry.name);
        if (found == results_.end() || found->second.counters.count("heap_bytes") == 0) continue;
        out << "| " << entry.name << " | " << format("%.0f", counter(found->second, "object_bytes"))
            << " | " << format("%.0f", counter(found->second, "heap_bytes")) << " |\n";
    }
    bool first = true;
    for (const BenchmarkCatalogue::Entry& entry : catalogue_.entries()) {
        const auto found = results_.find(entry.name);
        if (found == results_.end() || found->second.counters.count("p50_us") == 0) continue;
        if (first)
            out << "\n| Router link latency | p50 us | p99 us | max us |\n|---|---:|---:|---:|\n";
        first = false;
        out << "| " << entry.name << " | " << format("%.0f", counter(found->second, "p50_us"))
            << " | " << format("%.0f", counter(found->second, "p99_us")) << " | "
            << format("%.0f", counter(found->second, "max_us")) << " |\n";
    }
    first = true;
    for (const BenchmarkCatalogue::Entry& entry : catalogue_.entries()) {
        const auto found = results_.find(entry.name);
        if (found == results_.end() || found->second.counters.count("held_bytes") == 0) continue;
        if (first) {
            out << "\n| Router connection memory | object bytes | heap bytes |\n"
                << "|---|---:|---:|\n";
        }
        first = false;
        out << "| " << entry.name << " | " << format("%.0f", counter(found->second, "object_bytes"))
            << " | " << format("%.0f", counter(found->second, "held_bytes")) << " |\n";
    }
    out << "\nallocation goals missed: " << missed << "\n";
    return missed;
}
