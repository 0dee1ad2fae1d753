#include "validator/RunReport.h"

#include <algorithm>
#include <cstdio>

namespace zant::validate {

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

}  // namespace

std::string RunReport::printable(const std::string& text) {
    std::string out;
    for (char c : text) out += static_cast<unsigned char>(c) >= 128 ? '?' : c;
    return out;
}

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

}  // namespace zant::validate
