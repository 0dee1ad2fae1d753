// The outcome of one check, as the reports print it.
#ifndef VALIDATOR_CHECK_REPORT_H
#define VALIDATOR_CHECK_REPORT_H

#include <string>
#include <vector>

namespace zant::validate {

struct CheckReport {
    // notRun: the check could not reach what the component has, or ended on
    // a fault that another check owns; it is not passed. skipped: left out
    // on purpose with --skip.
    enum class Verdict { passed, failed, notRun, skipped };

    std::string name;
    Verdict verdict = Verdict::passed;
    double ms = 0;
    // One line: why it failed or was not run, or what a passing check
    // exercised.
    std::string summary;
    // For a failure: the shortest sequence of notifications that shows it,
    // out of how many, and the last commands the component sent.
    std::vector<std::string> sequence;
    size_t playedLength = 0;
    std::vector<std::string> commands;

    bool passed() const { return verdict == Verdict::passed; }
    // The run holds: passed, or skipped on purpose.
    bool held() const { return verdict == Verdict::passed || verdict == Verdict::skipped; }
    void fail(std::string why) {
        verdict = Verdict::failed;
        summary = std::move(why);
    }
    void skip(const std::string& why) {
        verdict = Verdict::skipped;
        summary = "skipped: " + why;
    }
    void notRun(const std::string& why) {
        verdict = Verdict::notRun;
        summary = "not run: " + why;
    }
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHECK_REPORT_H
