#include "validator/Validator.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>

#include "hosting/LayoutReader.h"
#include "platform/ComponentLibrary.h"
#include "validator/CheckCatalogue.h"
#include "validator/RunReport.h"
#include "validator/ScratchInstallation.h"
#include "validator/ValidatorHost.h"

#if defined(_WIN32)
#include <cstdio>

#include "validator/ChildProcess.h"
#endif

namespace {

ComponentProfile profileOf(const CheckContext& context) {
    if (context.entry == nullptr) return {};
    const Outcome outcome = context.isolation.run([&](std::string& report) {
        report = ComponentProfile::probe(context.entry, context.settings.layout).serialize();
        return true;
    });
    // A component that fails even this gets the checks' default names; the
    // checks then show the fault.
    ComponentProfile profile =
        outcome.passed() ? ComponentProfile::parse(outcome.report) : ComponentProfile();
    profile.controls.insert(context.settings.layout.begin(), context.settings.layout.end());
    return profile;
}

// What a child run prints on a line before its report, so that output of
// the component's own cannot be taken for it.
constexpr const char* reportMarker = "@@zant_validate report";

#if defined(_WIN32)
// Runs `check` in a new process of this program: the fork of Windows builds.
void runInChild(const Options& options, const CheckSettings& settings, const Check& check,
                CheckReport& result) {
    std::vector<std::string> arguments = options.arguments;
    arguments.insert(arguments.end(),
                     {"--seed", std::to_string(settings.seed), "--child", check.name});
    const ChildResult child = ChildProcess::runSelf(arguments, settings.timeoutMs);
    // The report follows the marker's line (which text mode ends with CR LF).
    const size_t marker = child.output.find(reportMarker);
    const size_t report = marker == std::string::npos ? marker : child.output.find('\n', marker);
    result.passed = false;
    if (!child.started) {
        result.summary = "cannot start a child process";
    } else if (child.timedOut) {
        result.summary = "hung: no end within the time limit";
    } else if (report == std::string::npos ||
               !RunReport::parseCheck(child.output.substr(report + 1), result)) {
        char code[64];
        std::snprintf(code, sizeof code, "crashed (exit code 0x%08lx)", child.exitCode);
        result.summary = code;
    }
}
#endif

// The check run by a child process for its parent: its report on stdout.
int runChild(const Options& options, CheckContext& context, std::ostream& out) {
    const Check* check = CheckCatalogue::find(options.child);
    CheckReport report;
    report.name = check->name;
    check->run(context, report);
    out << reportMarker << '\n' << RunReport::checkJson(report) << '\n';
    return 0;
}

}  // namespace

int Validator::run(const Options& options, std::ostream& out, std::ostream& errors) {
    if (options.list) {
        for (const Check& check : CheckCatalogue::all()) {
            out << check.name << std::string(14 - std::string(check.name).size(), ' ')
                << check.description << '\n';
        }
        return 0;
    }
    CheckSettings settings = options.settings;
    if (!options.seedGiven) settings.seed = std::random_device()();
    if (!options.layoutFile.empty()) {
        std::vector<zant::hosting::LayoutControl> controls;
        std::string error;
        if (!zant::hosting::LayoutReader::load(options.layoutFile, controls, error)) {
            errors << "zant_validate: " << error << '\n';
            return 2;
        }
        for (const zant::hosting::LayoutControl& control : controls)
            settings.layout.insert(control.name);
    }
    ComponentLibrary library;
    if (!library.load(options.library)) {
        errors << "zant_validate: " << library.error() << '\n';
        return 2;
    }
    const ScratchInstallation installation(ValidatorHost::device);
    CheckContext context{library.entry(),
                         {},
                         settings,
                         Isolation(settings.timeoutMs, !settings.verbose),
                         ProgressBoard::shared()};
#if defined(_WIN32)
    // Each check's own process learns the profile: a crash here would end
    // the whole run.
    const bool inChildren = options.child.empty();
    if (!inChildren) context.profile = profileOf(context);
#else
    context.profile = profileOf(context);
#endif
    if (!options.child.empty()) return runChild(options, context, out);

    RunReport report;
    report.library = options.library;
    report.seed = settings.seed;
    report.strictness = settings.strictness;
    if (settings.iterations > 0)
        report.repeatOptions += " --iterations " + std::to_string(settings.iterations);
    if (!options.layoutFile.empty()) report.repeatOptions += " --layout " + options.layoutFile;
    if (options.settings.timeoutMs != CheckSettings().timeoutMs) {
        report.repeatOptions += " --timeout-ms " + std::to_string(settings.timeoutMs);
    }
    if (!options.json) {
        report.printHeading(out);
        if (settings.verbose) {
            const ComponentProfile& profile = context.profile;
            out << "learnt: " << profile.panels.size() << " panels, " << profile.controls.size()
                << " controls, " << profile.messages.size() << " messages, "
                << profile.timers.size() << " timers, " << profile.devices.size() << " devices\n";
        }

#if defined(_WIN32)
        out << "note: each check runs in a process of its own, in one piece: a failure shows no "
               "shortest sequence\n";
#endif
    }
    for (const Check& check : CheckCatalogue::all()) {
        if (!options.checks.empty() && std::find(options.checks.begin(), options.checks.end(),
                                                 check.name) == options.checks.end()) {
            continue;
        }
        CheckReport result;
        result.name = check.name;
        const auto start = std::chrono::steady_clock::now();
        if (context.entry == nullptr && std::string(check.name) != "export") {
            result.passed = false;
            result.summary = "not run: the library has no export";
        } else {
#if defined(_WIN32)
            if (inChildren) {
                runInChild(options, settings, check, result);
            } else {
                check.run(context, result);
            }
#else
            check.run(context, result);
#endif
        }
        result.ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!options.json) report.printCheck(out, result);
        out.flush();
        report.checks.push_back(std::move(result));
    }
    if (options.json) {
        out << report.json();
    } else {
        report.printTotals(out);
    }
    if (!options.junitFile.empty()) {
        std::ofstream junit(options.junitFile);
        junit << report.junit();
        if (!junit) {
            errors << "zant_validate: cannot write " << options.junitFile << '\n';
            return 2;
        }
    }
    return report.passed() ? 0 : 1;
}
