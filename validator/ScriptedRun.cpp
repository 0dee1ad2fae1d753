#include "validator/ScriptedRun.h"

#include <cstdlib>

#include "validator/Shrinker.h"

namespace zant::validate {

namespace {

// Trials of the shrinker; a hang costs a whole time limit per trial.
constexpr int shrinkBudget = 300;
constexpr int hangShrinkBudget = 4;

}  // namespace

Outcome ScriptedRun::play(const std::vector<Step>& steps, const std::vector<size_t>* only) const {
    return context_.isolation.run([&](std::string& report) {
        Player player(context_.entry, config_, context_.board);
        const PlayResult result = player.play(steps, only);
        report = result.what + "\nstep " + std::to_string(result.step) + "\n";
        return !result.failed;
    });
}

long ScriptedRun::faultStep(const Outcome& outcome) const {
    if (outcome.status == Outcome::Status::failed) {
        const size_t at = outcome.report.find("\nstep ");
        if (at != std::string::npos)
            return std::strtol(outcome.report.c_str() + at + 6, nullptr, 10);
    }
    return context_.board.step();
}

bool ScriptedRun::run(const std::vector<std::vector<Step>>& scripts, CheckReport& report) const {
    for (const std::vector<Step>& steps : scripts) {
        const Outcome first = play(steps, nullptr);
        if (first.passed()) continue;
        if (!ownsEnds_ && first.status != Outcome::Status::failed) {
            report.notRun(first.summary() + " in a situation another check owns");
            return false;
        }
        const long at = faultStep(first);
        std::vector<size_t> failing;
        if (at == ProgressBoard::destruction) {
            for (size_t i = 0; i < steps.size(); ++i) failing.push_back(i);
        } else {
            for (long i = 0; i <= at && i < static_cast<long>(steps.size()); ++i) {
                failing.push_back(static_cast<size_t>(i));
            }
        }
        const int budget =
            first.status == Outcome::Status::timedOut ? hangShrinkBudget : shrinkBudget;
        failing = Shrinker::shrink(
            failing,
            [&](const std::vector<size_t>& only) {
                const Outcome trial = play(steps, &only);
                return !trial.passed() && trial.sameFault(first);
            },
            budget);
        // Once more, for the commands of the shortest run.
        const Outcome shortest = play(steps, &failing);
        const Outcome& shown = !shortest.passed() && shortest.sameFault(first) ? shortest : first;
        report.fail(shown.summary());
        if (at == ProgressBoard::construction)
            report.summary += " (while the component was created)";
        if (at == ProgressBoard::destruction)
            report.summary += " (while the component was destroyed)";
        report.playedLength = steps.size();
        report.sequence.clear();
        for (size_t index : failing) report.sequence.push_back(steps[index].describe());
        report.commands = context_.board.commands();
        return false;
    }
    return true;
}

}  // namespace zant::validate
