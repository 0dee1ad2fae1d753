#include "validator/Validator.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>

#include "validator/CheckCatalogue.h"
#include "validator/ComponentLibrary.h"
#include "validator/LayoutControls.h"
#include "validator/RunReport.h"
#include "validator/ScratchInstallation.h"
#include "validator/ValidatorHost.h"

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
        std::string error;
        if (!LayoutControls::read(options.layoutFile, settings.layout, error)) {
            errors << "zant_validate: " << error << '\n';
            return 2;
        }
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
    context.profile = profileOf(context);

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
#if defined(_WIN32)
        out << "note: checks run in this process here; a crash or a hang ends the whole run\n";
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
            check.run(context, result);
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
