// The command line of zant_validate.
#ifndef VALIDATOR_OPTIONS_H
#define VALIDATOR_OPTIONS_H

#include <string>
#include <vector>

#include "validator/CheckContext.h"

struct Options {
    std::string library;
    std::string layoutFile;
    std::vector<std::string> checks;  // empty: all
    CheckSettings settings;
    bool seedGiven = false;
    bool list = false;
    bool json = false;
    std::string junitFile;
    // Runs this one check and prints its report for the parent run (Windows
    // builds, where a check cannot be forked).
    std::string child;
    // As given, for that re-run.
    std::vector<std::string> arguments;

    // False, with a one-line reason in `error`, on bad usage.
    bool parse(const std::vector<std::string>& given, std::string& error);
    static const char* usage();
};

#endif  // VALIDATOR_OPTIONS_H
