// The JSON forms of a run's report: built only where nlohmann-json is
// (ZANT_JSON_REPORT).
#include "validator/RunReport.h"

#include <nlohmann/json.hpp>

namespace zant::validate {

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
    const auto printable = RunReport::printable;
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

}  // namespace zant::validate
