// panel_host's command line.
#ifndef SIMULATOR_OPTIONS_H
#define SIMULATOR_OPTIONS_H

#include <string>

#include "simulator/SimulationConfig.h"

struct Options {
    SimulationConfig simulation;
    std::string scenario;  // empty: none given
    bool interactive = false;
    bool help = false;
    int servePort = -1;  // --serve PORT; -1: not serving, 0: any free port

    // Defaults from the build (the component library and the source tree),
    // then the arguments. False with a one-line `error` for a bad argument.
    bool parse(int argc, char** argv, std::string& error);
    static std::string usage();
};

#endif  // SIMULATOR_OPTIONS_H
