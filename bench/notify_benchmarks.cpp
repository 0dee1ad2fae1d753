// The notification paths, driven through `notify` as the host drives them.
#include <benchmark/benchmark.h>

#include "bench/BenchmarkCatalogue.h"
#include "bench/ComponentRig.h"
#include "bench/OperationMeter.h"
#include "bench/RevertiveSink.h"

namespace {

using Goal = BenchmarkCatalogue::Goal;

// The styles a parent panel typically sets; longer than any short-string
// buffer, so every text built from them is a real heap text.
void applyStyles(ComponentRig& rig) {
    rig.message("bgndStyle=panel_background_dark");
    rig.message("takeHigh=take_armed_high_red");
    rig.message("takeLow=take_armed_low_dark");
}

bool skipWithoutInstallation(benchmark::State& state) {
    if (ComponentRig::installationReady()) return false;
    state.SkipWithError("cannot create the temporary installation folder");
    return true;
}

// Kind 1 from `reportingDevice` while the component works on device 12.
void revertive(benchmark::State& state, int reportingDevice) {
    ComponentRig rig;
    rig.message("instance=studioA");
    zant_client_callback* component = rig.callback();
    zant_revertive_record record{reportingDevice, 0, 1, 0};
    OperationMeter meter(&rig.host());
    meter.start();
    unsigned int step = 0;
    for (auto _ : state) {
        record.index = static_cast<int32_t>(1 + (step & 127u));
        record.value = static_cast<int32_t>(step & 255u);
        ++step;
        benchmark::DoNotOptimize(component->notify(&record, zantRevertive));
    }
    meter.stop();
    meter.report(state);
}

void revertiveOwnDevice(benchmark::State& state) {
    revertive(state, ComponentRig::studioDevice);
}

void revertiveOtherDevice(benchmark::State& state) {
    revertive(state, ComponentRig::studioDevice + 100);
}

// The same loop as `revertive`, with the least work behind the call.
void baseline(benchmark::State& state) {
    std::unique_ptr<RevertiveSink> table = RevertiveSink::makeTable(Quorvex::minRouteEntries);
    RevertiveSink* sink = table.get();
    zant_revertive_record record{ComponentRig::studioDevice, 0, 1, 0};
    OperationMeter meter;
    meter.start();
    unsigned int step = 0;
    for (auto _ : state) {
        record.index = static_cast<int32_t>(1 + (step & 127u));
        record.value = static_cast<int32_t>(step & 255u);
        ++step;
        benchmark::DoNotOptimize(sink);
        sink->store(&record);
    }
    meter.stop();
    meter.report(state);
}

// A poll of a 4096-destination router answered in full: 4096 revertives.
void pollAnswer(benchmark::State& state) {
    if (skipWithoutInstallation(state)) return;
    ComponentRig rig;
    rig.message("instance=large");
    zant_client_callback* component = rig.callback();
    zant_revertive_record record{ComponentRig::largeDevice, 0, 0, 0};
    OperationMeter meter(&rig.host());
    meter.start();
    int round = 0;
    for (auto _ : state) {
        for (int destination = 1; destination <= ComponentRig::largeDestinations; ++destination) {
            record.index = destination;
            record.value = (destination + round) & 1023;
            benchmark::DoNotOptimize(component->notify(&record, zantRevertive));
        }
        ++round;
    }
    meter.stop();
    meter.report(state);
    state.SetItemsProcessed(state.iterations() * ComponentRig::largeDestinations);
}

// Kind 3 messages, alternating between two texts so each one changes state.
void parentMessages(benchmark::State& state, const char* const (&texts)[2],
                    const char* const* setup, double repliesPerOperation) {
    if (skipWithoutInstallation(state)) return;
    ComponentRig rig;
    for (; *setup != nullptr; ++setup) rig.message(*setup);
    zant_client_callback* component = rig.callback();
    OperationMeter meter(&rig.host());
    meter.start();
    unsigned int step = 0;
    for (auto _ : state) {
        char* reply = component->notify(const_cast<char*>(texts[step++ & 1u]), zantParentMessage);
        component->notify(reply, zantReleaseReply);
    }
    meter.stop();
    meter.report(state, repliesPerOperation);
}

const char* const withDevice[] = {"instance=studioA", "bgndStyle=panel_background_dark",
                                  "takeHigh=take_armed_high_red", "takeLow=take_armed_low_dark",
                                  nullptr};

// With a destination selected, so each source arms "Take" anew.
void messageSourceID(benchmark::State& state) {
    const char* const texts[2] = {"sourceID=3", "sourceID=4"};
    const char* const setup[] = {"instance=studioA", "takeHigh=take_armed_high_red", "destID=7",
                                 nullptr};
    parentMessages(state, texts, setup, 0);
}

void messageDestID(benchmark::State& state) {
    const char* const texts[2] = {"destID=7", "destID=8"};
    const char* const setup[] = {"instance=studioA", "takeHigh=take_armed_high_red", "sourceID=3",
                                 nullptr};
    parentMessages(state, texts, setup, 0);
}

// No command: the texts are the message parsed and the reply handed back.
void messageReturnAll(benchmark::State& state) {
    const char* const texts[2] = {"return=all", "return=all"};
    parentMessages(state, texts, withDevice, 2);
}

// Each message takes on a device: the instance names alternate, and each
// reads its router's configuration file.
void messageInstance(benchmark::State& state) {
    const char* const texts[2] = {"instance=studioA", "instance=studioB"};
    const char* const setup[] = {"instance=studioB", nullptr};
    parentMessages(state, texts, setup, 0);
}

// A button press whose state must be set up anew each time: the set-up runs
// with the clock paused and is not counted.
void press(benchmark::State& state, const char* control, const char* const* setup, bool takeFirst) {
    if (skipWithoutInstallation(state)) return;
    ComponentRig rig;
    rig.message("instance=studioA");
    applyStyles(rig);
    OperationMeter meter(&rig.host());
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* const* text = setup; *text != nullptr; ++text) rig.message(*text);
        if (takeFirst) rig.press("Take");
        state.ResumeTiming();
        meter.start();
        rig.press(control);
        meter.stop();
    }
    meter.report(state);
}

const char* const selection[] = {"sourceID=3", "destID=7", nullptr};

void pressTake(benchmark::State& state) {
    press(state, "Take", selection, false);
}

void pressUndo(benchmark::State& state) {
    press(state, "Undo", selection, true);
}

// Ticks of the flashing timer while "Take" is armed.
void timerTick(benchmark::State& state) {
    if (skipWithoutInstallation(state)) return;
    ComponentRig rig;
    rig.message("instance=studioA");
    applyStyles(rig);
    rig.message("sourceID=3");
    rig.message("destID=7");
    zant_client_callback* component = rig.callback();
    void* const flashTimer = reinterpret_cast<void*>(static_cast<intptr_t>(2));
    OperationMeter meter(&rig.host());
    meter.start();
    for (auto _ : state) {
        benchmark::DoNotOptimize(component->notify(flashTimer, zantTimer));
    }
    meter.stop();
    meter.report(state);
}

}  // namespace

void addNotifyBenchmarks(BenchmarkCatalogue& catalogue) {
    catalogue.add(BenchmarkCatalogue::baselineName, baseline, Goal::none);
    catalogue.add("notify/kind1/ownDevice", revertiveOwnDevice, Goal::nearBaseline);
    catalogue.add("notify/kind1/otherDevice", revertiveOtherDevice, Goal::nearBaseline);
    catalogue.add("notify/kind1/poll4096", pollAnswer, Goal::nearBaseline,
                  ComponentRig::largeDestinations);
    catalogue.add("notify/kind3/sourceID", messageSourceID, Goal::perText);
    catalogue.add("notify/kind3/destID", messageDestID, Goal::perText);
    catalogue.add("notify/kind3/returnAll", messageReturnAll, Goal::perText);
    catalogue.add("notify/kind3/instance", messageInstance, Goal::perText);
    catalogue.add("notify/kind2/take", pressTake, Goal::perText);
    catalogue.add("notify/kind2/undo", pressUndo, Goal::perText);
    catalogue.add("notify/kind4/tick", timerTick, Goal::perText);
}
