// The outcome of one check, as the reports print it.
#ifndef VALIDATOR_CHECK_REPORT_H
#define VALIDATOR_CHECK_REPORT_H

#include <string>
#include <vector>

struct CheckReport {
    std::string name;
    bool passed = true;
    double ms = 0;
    // One line: why it failed, or what a passing check measured.
    std::string summary;
    // For a failure: the shortest sequence of notifications that shows it,
    // out of how many, and the last commands the component sent.
    std::vector<std::string> sequence;
    size_t playedLength = 0;
    std::vector<std::string> commands;
};

#endif  // VALIDATOR_CHECK_REPORT_H
