// The helper's parsers and command operations, called directly.
#include <benchmark/benchmark.h>

#include "bench/BenchmarkCatalogue.h"
#include "bench/ComponentRig.h"
#include "bench/OperationMeter.h"
#include "script_helper/decodeZANTString.h"
#include "script_helper/parentMessage.h"

namespace {

using Goal = BenchmarkCatalogue::Goal;

void parseParentMessage(benchmark::State& state) {
    OperationMeter meter;
    meter.start();
    for (auto _ : state) {
        parentMessage message("sourceID.main.left=12");
        benchmark::DoNotOptimize(message.value);
    }
    meter.stop();
    meter.report(state, 1);
}

void parseDecodeZANTString(benchmark::State& state) {
    OperationMeter meter;
    meter.start();
    for (auto _ : state) {
        decodeZANTString words("12 0 'Main Router' 4096", '\'');
        benchmark::DoNotOptimize(words.token[1]);
    }
    meter.stop();
    meter.report(state, 1);
}

// Runs `send` on a constructed component, counting only its own work.
template <typename Send>
void command(benchmark::State& state, Send send) {
    CountingHost host;
    ComponentRig::prepareHost(host);
    Quorvex component(&host, "panels/take");
    OperationMeter meter(&host);
    meter.start();
    unsigned int step = 0;
    for (auto _ : state) send(component, static_cast<int>(step++ & 255u));
    meter.stop();
    meter.report(state);
}

void routerPoll(benchmark::State& state) {
    command(state, [](Quorvex& c, int step) { c.routerPoll(12 + step, 1, 4096); });
}

void routerRegister(benchmark::State& state) {
    command(state, [](Quorvex& c, int step) { c.routerRegister(12 + step, 1, 4096, false); });
}

void routerUnregister(benchmark::State& state) {
    command(state, [](Quorvex& c, int step) { c.routerUnregister(12 + step); });
}

void timerStart(benchmark::State& state) {
    command(state, [](Quorvex& c, int step) { c.timerStart(2, 1000 + step); });
}

void timerStop(benchmark::State& state) {
    command(state, [](Quorvex& c, int step) { c.timerStop(2 + step); });
}

void routerCrosspoint(benchmark::State& state) {
    const zant_string noExtra;
    command(state,
            [&](Quorvex& c, int step) { c.routerCrosspoint(12, 3 + step, 7, noExtra, false); });
}

void textPut(benchmark::State& state) {
    const zant_string property("statesheet");
    const zant_string style("take_armed_high_red");
    const zant_string panel("1");
    const zant_string control("Take");
    command(state, [&](Quorvex& c, int) { c.textPut(property, style, panel, control); });
}

// The string library building a command text by a chain of `+`, as
// components written against it do, and a list joined into a reply.
void stringConcatenation(benchmark::State& state) {
    const zant_string property("statesheet");
    const zant_string style("take_armed_high_red");
    const zant_string panel("1");
    const zant_string control("UndoSource");
    OperationMeter meter;
    meter.start();
    for (auto _ : state) {
        const zant_string text =
            "TP '" + property + "=" + style + "' '" + panel + "' '" + control + "'";
        benchmark::DoNotOptimize(static_cast<const char*>(text));
    }
    meter.stop();
    meter.report(state, 1);
}

void stringListJoin(benchmark::State& state) {
    OperationMeter meter;
    meter.start();
    for (auto _ : state) {
        zant_stringlist commands;
        commands << "sourceID=[value]"
                 << "destID=[value]";
        const zant_string reply = commands.toString('\n');
        benchmark::DoNotOptimize(static_cast<const char*>(reply));
    }
    meter.stop();
    meter.report(state, 1);
}

// The configuration file read that "instance" makes; sends nothing.
void databaseSize(benchmark::State& state) {
    if (!ComponentRig::installationReady()) {
        state.SkipWithError("cannot create the temporary installation folder");
        return;
    }
    command(state, [](Quorvex& c, int) { benchmark::DoNotOptimize(c.databaseSize(12, 1)); });
}

}  // namespace

void addHelperBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add("parse/parentMessage", parseParentMessage, Goal::perText);
    catalogue.add("parse/decodeZANTString", parseDecodeZANTString, Goal::perText);
    catalogue.add("command/routerPoll", routerPoll, Goal::noAllocation);
    catalogue.add("command/routerRegister", routerRegister, Goal::noAllocation);
    catalogue.add("command/routerUnregister", routerUnregister, Goal::noAllocation);
    catalogue.add("command/timerStart", timerStart, Goal::noAllocation);
    catalogue.add("command/timerStop", timerStop, Goal::noAllocation);
    catalogue.add("command/routerCrosspoint", routerCrosspoint, Goal::perText);
    catalogue.add("command/textPut", textPut, Goal::perText);
    catalogue.add("helper/databaseSize", databaseSize, Goal::none);
    catalogue.add("string/concatenation", stringConcatenation, Goal::perText);
    catalogue.add("string/listJoin", stringListJoin, Goal::none);
}
