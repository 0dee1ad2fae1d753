#include "validator/Options.h"

#include <cerrno>
#include <cstdlib>

#include "validator/CheckCatalogue.h"

namespace zant::validate {

namespace {

bool number(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

// Whether this build reports in JSON (nlohmann-json was found).
bool withJson(const std::string& option, std::string& error) {
#if defined(ZANT_JSON_REPORT)
    (void)option;
    (void)error;
    return true;
#else
    error = option + ": this zant_validate was built without JSON (Debian: nlohmann-json3-dev)";
    return false;
#endif
}

}  // namespace

const char* Options::usage() {
    return "usage: zant_validate [OPTIONS] LIBRARY\n"
           "Checks a component library against the host's rules: presses every control of the\n"
           "layout the component loads (\"PS\", read relative to the path given to the export)\n"
           "and of its commands, sends every message it lists, ticks its timers.\n"
           "LIBRARY without a folder is a file in the working folder.\n"
           "\n"
           "  --layout FILE       press and allow the controls of FILE instead of the layouts\n"
           "                      the component loads\n"
           "  --path DIR          the path given to the export (default: the library's folder)\n"
           "  --seed N            repeat a run exactly (default: a new seed, printed)\n"
           "  --strictness 1..10  length and number of the random sequences (default 5)\n"
           "  --iterations N      number of random sequences per check\n"
           "  --check NAME        run only this check (repeatable)\n"
           "  --skip NAME=REASON  leave this check out on purpose; the summary shows it\n"
           "  --timeout-ms N      time limit of each run in a child (default 10000)\n"
           "  --max-ms X          fail timing when a kind's 99th percentile is above X ms\n"
           "  --junit FILE        also write the results as JUnit XML\n"
           "  --json              print the results as JSON instead of lines\n"
           "  -v, --verbose       let the component's own output through\n"
           "  --list              print which check owns which rule, and exit\n"
           "  -h, --help          print this text, and exit\n"
           "\n"
           "Exit status: 0 every check held; 1 a check failed or could not run (\"not run\");\n"
           "2 bad input (an option, a layout that cannot be read) or a library that cannot be\n"
           "used (not loadable, or without the export).\n";
}

bool Options::parse(const std::vector<std::string>& given, std::string& error) {
    arguments = given;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        const auto integer = [&](long long low, long long high, long long& out) {
            std::string text;
            if (!value(text)) return false;
            if (number(text, low, high, out)) return true;
            error = argument + " takes a number from " + std::to_string(low) + " to " +
                    std::to_string(high) + ", not \"" + text + "\"";
            return false;
        };
        long long parsed = 0;
        std::string text;
        if (argument == "--seed") {
            if (!integer(0, 4294967295LL, parsed)) return false;
            settings.seed = static_cast<uint32_t>(parsed);
            seedGiven = true;
        } else if (argument == "--iterations") {
            if (!integer(1, 1000000, parsed)) return false;
            settings.iterations = static_cast<int>(parsed);
        } else if (argument == "--strictness") {
            if (!integer(1, 10, parsed)) return false;
            settings.strictness = static_cast<int>(parsed);
        } else if (argument == "--timeout-ms") {
            if (!integer(1, 3600000, parsed)) return false;
            settings.timeoutMs = static_cast<int>(parsed);
        } else if (argument == "--max-ms") {
            if (!value(text)) return false;
            char* end = nullptr;
            settings.maxMs = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(settings.maxMs > 0)) {
                error = "--max-ms takes a positive number of milliseconds, not \"" + text + "\"";
                return false;
            }
        } else if (argument == "--check") {
            if (!value(text)) return false;
            if (CheckCatalogue::find(text) == nullptr) {
                error = "no check named \"" + text + "\" (--list shows them)";
                return false;
            }
            checks.push_back(text);
        } else if (argument == "--child") {
            if (!withJson(argument, error)) return false;
            if (!value(child)) return false;
            if (CheckCatalogue::find(child) == nullptr) {
                error = "no check named \"" + child + "\"";
                return false;
            }
        } else if (argument == "--probe-stage") {
            if (!integer(-1, 3, parsed)) return false;
            probeStage = static_cast<int>(parsed);
        } else if (argument == "--probe") {
            probe = true;
        } else if (argument == "--layout") {
            if (!value(layoutFile)) return false;
        } else if (argument == "--path") {
            if (!value(componentPath)) return false;
        } else if (argument == "--skip") {
            if (!value(text)) return false;
            const size_t equals = text.find('=');
            const std::string name = text.substr(0, equals);
            if (equals == std::string::npos || equals + 1 == text.size()) {
                error = "--skip takes CHECK=REASON, not \"" + text + "\"";
                return false;
            }
            if (CheckCatalogue::find(name) == nullptr) {
                error = "no check named \"" + name + "\" (--list shows them)";
                return false;
            }
            skips[name] = text.substr(equals + 1);
        } else if (argument == "--junit") {
            if (!value(junitFile)) return false;
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (argument == "--list") {
            list = true;
        } else if (argument == "--json") {
            if (!withJson(argument, error)) return false;
            json = true;
        } else if (argument == "-v" || argument == "--verbose") {
            settings.verbose = true;
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else if (library.empty()) {
            library = argument;
        } else {
            error = "one library at a time (\"" + library + "\" and \"" + argument + "\")";
            return false;
        }
    }
    if (library.empty() && !list && !help) {
        error = "no library given";
        return false;
    }
    return true;
}

}  // namespace zant::validate
