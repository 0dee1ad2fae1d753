#include "validator/Options.h"

#include <cerrno>
#include <cstdlib>

#include "validator/CheckCatalogue.h"

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
    return "usage: zant_validate [--seed N] [--iterations N] [--check NAME]... [--list]\n"
           "                     [--strictness 1..10] [--layout FILE] [--timeout-ms N]\n"
           "                     [--max-ms X] [--junit FILE] [--json] [-v] LIBRARY\n";
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
        } else if (argument == "--layout") {
            if (!value(layoutFile)) return false;
        } else if (argument == "--junit") {
            if (!value(junitFile)) return false;
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
    if (library.empty() && !list) {
        error = "no library given";
        return false;
    }
    return true;
}
