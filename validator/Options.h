// The command line of zant_validate.
#ifndef VALIDATOR_OPTIONS_H
#define VALIDATOR_OPTIONS_H

#include <map>
#include <string>
#include <vector>

#include "validator/CheckContext.h"

namespace zant::validate {

struct Options {
    std::string library;
    std::string layoutFile;
    // The path given to the export; empty: the library's folder.
    std::string componentPath;
    std::vector<std::string> checks;  // empty: all
    // Checks left out on purpose, with why.
    std::map<std::string, std::string> skips;
    CheckSettings settings;
    bool seedGiven = false;
    bool list = false;
    bool help = false;
    bool json = false;
    std::string junitFile;
    // Runs this one check and prints its report for the parent run (Windows
    // builds, where a check cannot be forked).
    std::string child;
    // How far the profile is probed (ComponentProfile::stages; -1 none),
    // and a run that only probes and prints the profile (Windows builds,
    // whose parent learns it in a child of its own).
    int probeStage = 3;
    bool probe = false;
    // As given, for that re-run.
    std::vector<std::string> arguments;

    // False, with a one-line reason in `error`, on bad usage.
    bool parse(const std::vector<std::string>& given, std::string& error);
    static const char* usage();
};

}  // namespace zant::validate

#endif  // VALIDATOR_OPTIONS_H
