#include "validator/RunReport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace {

std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", ms);
    return text;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // XML 1.0 has no place for most control characters.
                out += static_cast<unsigned char>(c) < 32 && c != '\n' && c != '\t' ? '?' : c;
        }
    }
    return out;
}

// Bytes that are no valid UTF-8 become '?', so any command can go into JSON.
std::string printable(const std::string& text) {
    std::string out;
    for (char c : text) out += static_cast<unsigned char>(c) >= 128 ? '?' : c;
    return out;
}

}  // namespace

const char* RunReport::verdictWord(CheckReport::Verdict verdict) {
    switch (verdict) {
        case CheckReport::Verdict::passed:
            return "PASS";
        case CheckReport::Verdict::failed:
            break;
        case CheckReport::Verdict::notRun:
            return "----";
        case CheckReport::Verdict::skipped:
            return "SKIP";
    }
    return "FAIL";
}

bool RunReport::passed() const {
    return std::all_of(checks.begin(), checks.end(),
                       [](const CheckReport& check) { return check.held(); });
}

void RunReport::printHeading(std::ostream& out) const {
    out << "zant_validate " << library << "  seed " << seed << "  strictness " << strictness
        << '\n';
}

void RunReport::printCheck(std::ostream& out, const CheckReport& check) const {
    std::string name = check.name;
    name.resize(std::max<size_t>(name.size(), 12), ' ');
    std::string time = milliseconds(check.ms);
    time.insert(0, time.size() < 10 ? 10 - time.size() : 0, ' ');
    out << verdictWord(check.verdict) << ' ' << name << time << "  " << printable(check.summary)
        << '\n';
    if (check.verdict != CheckReport::Verdict::failed) return;
    if (!check.sequence.empty() || check.playedLength > 0) {
        out << "       shortest sequence (" << check.sequence.size() << " of " << check.playedLength
            << " notifications):\n";
        for (size_t i = 0; i < check.sequence.size(); ++i) {
            out << "         " << i + 1 << ". " << printable(check.sequence[i]) << '\n';
        }
    }
    if (!check.commands.empty()) {
        out << "       last commands sent:\n";
        for (const std::string& command : check.commands)
            out << "         " << printable(command) << '\n';
    }
    out << "       repeat: zant_validate --seed " << seed << " --strictness " << strictness
        << repeatOptions << " --check " << check.name << ' ' << library << '\n';
}

void RunReport::printTotals(std::ostream& out) const {
    out << checks.size() << " checks: " << count(CheckReport::Verdict::passed) << " passed, "
        << count(CheckReport::Verdict::failed) << " failed";
    if (count(CheckReport::Verdict::notRun) > 0)
        out << ", " << count(CheckReport::Verdict::notRun) << " not run";
    if (count(CheckReport::Verdict::skipped) > 0)
        out << ", " << count(CheckReport::Verdict::skipped) << " skipped";
    out << " (seed " << seed << ")\n";
}

long RunReport::count(CheckReport::Verdict verdict) const {
    return std::count_if(checks.begin(), checks.end(),
                         [&](const CheckReport& check) { return check.verdict == verdict; });
}

namespace {

const char* verdictName(CheckReport::Verdict verdict) {
    switch (verdict) {
        case CheckReport::Verdict::passed:
            return "passed";
        case CheckReport::Verdict::failed:
            break;
        case CheckReport::Verdict::notRun:
            return "not run";
        case CheckReport::Verdict::skipped:
            return "skipped";
    }
    return "failed";
}

nlohmann::json toJson(const CheckReport& check) {
    nlohmann::json sequence = nlohmann::json::array();
    for (const std::string& step : check.sequence) sequence.push_back(printable(step));
    nlohmann::json commands = nlohmann::json::array();
    for (const std::string& command : check.commands) commands.push_back(printable(command));
    return {{"name", check.name},
            {"passed", check.passed()},
            {"verdict", verdictName(check.verdict)},
            {"ms", check.ms},
            {"summary", printable(check.summary)},
            {"sequence", sequence},
            {"played", check.playedLength},
            {"commands", commands}};
}

}  // namespace

std::string RunReport::checkJson(const CheckReport& check) {
    return toJson(check).dump();
}

bool RunReport::parseCheck(const std::string& json, CheckReport& check) {
    const nlohmann::json parsed = nlohmann::json::parse(json, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) return false;
    check.name = parsed.value("name", check.name);
    const std::string verdict = parsed.value("verdict", std::string());
    check.verdict = CheckReport::Verdict::failed;
    for (CheckReport::Verdict known : {CheckReport::Verdict::passed, CheckReport::Verdict::notRun,
                                       CheckReport::Verdict::skipped}) {
        if (verdict == verdictName(known)) check.verdict = known;
    }
    check.summary = parsed.value("summary", std::string());
    check.playedLength = parsed.value("played", size_t{0});
    check.sequence = parsed.value("sequence", std::vector<std::string>());
    check.commands = parsed.value("commands", std::vector<std::string>());
    return true;
}

std::string RunReport::json() const {
    nlohmann::json document = {{"library", printable(library)},
                               {"seed", seed},
                               {"strictness", strictness},
                               {"passed", passed()},
                               {"checks", nlohmann::json::array()}};
    for (const CheckReport& check : checks) document["checks"].push_back(toJson(check));
    return document.dump(2) + "\n";
}

std::string RunReport::junit() const {
    const long failed = count(CheckReport::Verdict::failed);
    const long errors = count(CheckReport::Verdict::notRun);
    const long skipped = count(CheckReport::Verdict::skipped);
    double total = 0;
    for (const CheckReport& check : checks) total += check.ms;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites>\n  <testsuite name=\"zant_validate\" tests=\"" +
           std::to_string(checks.size()) + "\" failures=\"" + std::to_string(failed) +
           "\" errors=\"" + std::to_string(errors) + "\" skipped=\"" + std::to_string(skipped) +
           "\" time=\"" + std::to_string(total / 1000) + "\">\n";
    xml += "    <properties><property name=\"seed\" value=\"" + std::to_string(seed) +
           "\"/></properties>\n";
    for (const CheckReport& check : checks) {
        xml += "    <testcase classname=\"zant_validate." + xmlEscaped(printable(library)) +
               "\" name=\"" + check.name + "\" time=\"" + std::to_string(check.ms / 1000) + "\"";
        if (check.passed()) {
            xml += "/>\n";
            continue;
        }
        if (check.verdict != CheckReport::Verdict::failed) {
            const char* element =
                check.verdict == CheckReport::Verdict::skipped ? "skipped" : "error";
            xml += ">\n      <" + std::string(element) + " message=\"" +
                   xmlEscaped(printable(check.summary)) + "\"/>\n    </testcase>\n";
            continue;
        }
        std::string details = "seed " + std::to_string(seed) + "\n";
        for (const std::string& step : check.sequence) details += step + "\n";
        for (const std::string& command : check.commands) details += "sent: " + command + "\n";
        xml += ">\n      <failure message=\"" + xmlEscaped(printable(check.summary)) + "\">" +
               xmlEscaped(printable(details)) + "</failure>\n    </testcase>\n";
    }
    xml += "  </testsuite>\n</testsuites>\n";
    return xml;
}
