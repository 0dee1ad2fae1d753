#include "validator/Validator.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <random>

#include "hosting/FileArgument.h"
#include "hosting/LayoutReader.h"
#include "hosting/MessagesReader.h"
#include "hosting/ScratchInstallation.h"
#include "platform/ComponentLibrary.h"
#include "platform/DebugOutputTap.h"
#include "platform/ProcessEnvironment.h"
#include "validator/CheckCatalogue.h"
#include "validator/CheckRunner.h"
#include "validator/RunReport.h"
#include "validator/ValidatorHost.h"

namespace zant::validate {

namespace {

constexpr int exitFailed = 1;
constexpr int exitBadInput = 2;

#if defined(ZANT_JSON_REPORT)
// The check run by a child process for its parent: its report on stdout.
int runChild(const Options& options, CheckRunner& runner, CheckContext& context,
             std::ostream& out) {
    const Check* check = CheckCatalogue::find(options.child);
    CheckReport report;
    report.name = check->name;
    runner.run(*check, context, report);
    out << CheckRunner::reportMarker << '\n' << RunReport::checkJson(report) << '\n';
    return 0;
}
#endif

// A check that ends on a fault an earlier check reported is not run: one
// fault, one failure.
void oneFailurePerFault(const std::vector<CheckReport>& earlier, CheckReport& result) {
    if (result.verdict != CheckReport::Verdict::failed) return;
    const auto fault = [](const std::string& summary) {
        return summary.substr(0, summary.find(" (while"));
    };
    for (const CheckReport& before : earlier) {
        if (before.verdict == CheckReport::Verdict::failed &&
            fault(before.summary) == fault(result.summary)) {
            result.notRun("ended on the fault that " + before.name + " reports");
            result.sequence.clear();
            result.commands.clear();
            result.playedLength = 0;
            return;
        }
    }
}

void printList(std::ostream& out) {
    out << "Each check owns the rules it fails on; a check that meets another check's fault\n"
           "is not run instead. A check fails when:\n";
    for (const Check& check : CheckCatalogue::all()) {
        std::string name = check.name;
        name.resize(std::max<size_t>(name.size(), 12), ' ');
        out << "  " << name << check.owns << '\n';
    }
}

// Lines under the heading: where the controls came from and what the runs
// exercise.
void printExercised(const Options& options, const CheckContext& context, std::ostream& out) {
    const ComponentProfile& profile = context.profile;
    out << "path given to the export: " << context.settings.componentPath << '\n';
    if (!options.layoutFile.empty()) {
        out << "layout: " << options.layoutFile << " (given)\n";
    } else if (!profile.layoutProblem.empty()) {
        out << "layout: cannot be read: " << profile.layoutProblem << '\n';
    } else if (profile.layoutFiles.empty()) {
        out << "layout: none loaded (\"PS\" not sent); controls named by commands only\n";
    } else {
        for (const std::string& file : profile.layoutFiles) out << "layout: " << file << '\n';
    }
    if (context.settings.messages.empty()) {
        out << "messages: those the reply to \"_commands\" lists (none declared in "
            << context.settings.messagesFile << ")\n";
    } else {
        out << "messages: " << context.settings.messagesFile << " ("
            << context.settings.messages.size() << " declared)\n";
    }
    out << "exercised: " << profile.exercised() << "; " << std::to_string(context.iterations())
        << " random sequences of " << context.randomLength() << " per check\n";
}

}  // namespace

int Validator::run(const Options& options, std::ostream& out, std::ostream& errors) {
    if (options.list) {
        printList(out);
        return 0;
    }
    CheckSettings settings = options.settings;
    if (!options.seedGiven) settings.seed = std::random_device()();
    if (!options.layoutFile.empty()) {
        std::vector<zant::hosting::LayoutControl> controls;
        std::string error;
        if (!zant::hosting::LayoutReader::load(options.layoutFile, controls, error)) {
            errors << "zant_validate: " << error << '\n';
            return exitBadInput;
        }
        for (const zant::hosting::LayoutControl& control : controls)
            settings.layout.insert(control.name);
    }
    const std::string libraryFile = zant::hosting::FileArgument::resolve(options.library);
    ComponentLibrary library;
    if (!library.load(libraryFile)) {
        errors << "zant_validate: " << library.error() << '\n';
        return exitBadInput;
    }
    if (library.entry() == nullptr) {
        errors << "zant_validate: " << options.library << ": the library has no export "
               << zantLoadFunctionName << '\n';
        return exitBadInput;
    }
    settings.componentPath = options.componentPath.empty()
                                 ? zant::hosting::FileArgument::folderOf(libraryFile)
                                 : options.componentPath;
    // A host finds the declaration where it finds the layouts, and refuses a
    // malformed one as it refuses a bad layout.
    std::string declarationError;
    if (!zant::hosting::MessagesReader::loadFor(settings.componentPath, libraryFile,
                                                settings.messagesFile, settings.messages,
                                                declarationError)) {
        errors << "zant_validate: " << declarationError << '\n';
        return exitBadInput;
    }
    // A component that reads its router's size finds a device file for the
    // device the host names. An installation named by KV_ROOT is used as it
    // is, so a check's child process shares its parent's.
    std::optional<zant::hosting::ScratchInstallation> installation;
    if (!zant::platform::environmentVariable("KV_ROOT")) {
        installation.emplace();
        installation->writeRouter(ValidatorHost::device, ValidatorHost::destinations);
    }
    CheckContext context{library.entry(),
                         {},
                         settings,
                         Isolation(settings.timeoutMs, !settings.verbose),
                         ProgressBoard::shared()};
    const std::unique_ptr<CheckRunner> runner = CheckRunner::forThisRun(options, settings.seed);
    context.profile = runner->learnProfile(context);
    context.profile.declare(settings.messages);
    // A child run that only learns the profile, for its parent.
    if (options.probe) {
        out << CheckRunner::reportMarker << '\n' << context.profile.serialize();
        return 0;
    }
#if defined(ZANT_JSON_REPORT)
    if (!options.child.empty()) return runChild(options, *runner, context, out);
#endif

    RunReport report;
    report.library = options.library;
    report.seed = settings.seed;
    report.strictness = settings.strictness;
    if (settings.iterations > 0)
        report.repeatOptions += " --iterations " + std::to_string(settings.iterations);
    if (!options.layoutFile.empty()) report.repeatOptions += " --layout " + options.layoutFile;
    if (!options.componentPath.empty()) report.repeatOptions += " --path " + options.componentPath;
    if (options.settings.timeoutMs != CheckSettings().timeoutMs) {
        report.repeatOptions += " --timeout-ms " + std::to_string(settings.timeoutMs);
    }
    if (!options.json) {
        report.printHeading(out);
        printExercised(options, context, out);
        out << runner->note();
        if (!DebugOutputTap::readable()) {
            out << "note: the debugger output cannot be read here: a handler that throws is "
                   "not seen\n";
        }
    }
    for (const Check& check : CheckCatalogue::all()) {
        if (!options.checks.empty() && std::find(options.checks.begin(), options.checks.end(),
                                                 check.name) == options.checks.end()) {
            continue;
        }
        CheckReport result;
        result.name = check.name;
        const auto start = std::chrono::steady_clock::now();
        const auto skip = options.skips.find(check.name);
        if (skip != options.skips.end()) {
            result.skip(skip->second);
        } else {
            runner->run(check, context, result);
            oneFailurePerFault(report.checks, result);
        }
        result.ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!options.json) report.printCheck(out, result);
        out.flush();
        report.checks.push_back(std::move(result));
    }
#if defined(ZANT_JSON_REPORT)
    if (options.json) out << report.json();
#endif
    if (!options.json) report.printTotals(out);
    if (!options.junitFile.empty()) {
        std::ofstream junit(options.junitFile);
        junit << report.junit();
        if (!junit) {
            errors << "zant_validate: cannot write " << options.junitFile << '\n';
            return exitBadInput;
        }
    }
    return report.passed() ? 0 : exitFailed;
}

}  // namespace zant::validate
