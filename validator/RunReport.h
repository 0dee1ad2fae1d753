// The results of one zant_validate run: as lines a person reads at a glance,
// as JSON, and as JUnit XML for CI.
#ifndef VALIDATOR_RUN_REPORT_H
#define VALIDATOR_RUN_REPORT_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "validator/CheckReport.h"

namespace zant::validate {

struct RunReport {
    std::string library;
    uint32_t seed = 0;
    int strictness = 0;
    // Options a repeat of the run needs besides seed and strictness.
    std::string repeatOptions;
    std::vector<CheckReport> checks;

    // Every check held: passed, or skipped on purpose.
    bool passed() const;
    long count(CheckReport::Verdict verdict) const;
    // The word a check's line starts with: PASS, FAIL, "----" (not run), SKIP.
    static const char* verdictWord(CheckReport::Verdict verdict);
    void printHeading(std::ostream& out) const;
    // One line per check; under a failure its sequence, commands and the
    // command line that repeats it.
    void printCheck(std::ostream& out, const CheckReport& check) const;
    void printTotals(std::ostream& out) const;
    std::string junit() const;
    // Bytes that are no valid UTF-8 become '?', so any command can go into
    // JSON or XML.
    static std::string printable(const std::string& text);

    // Where the build has JSON (ZANT_JSON_REPORT): the whole report, and one
    // check's report and back, as a Windows build's check process sends it.
    std::string json() const;
    static std::string checkJson(const CheckReport& check);
    static bool parseCheck(const std::string& json, CheckReport& check);
};

}  // namespace zant::validate

#endif  // VALIDATOR_RUN_REPORT_H
