// panel_host's command line.
#ifndef SIMULATOR_OPTIONS_H
#define SIMULATOR_OPTIONS_H

#include <string>

#include "simulator/SimulationConfig.h"

namespace zant::simulator {

struct Options {
    SimulationConfig simulation;
    std::string scenario;  // empty: none given
    bool interactive = false;
    bool help = false;
    int servePort = -1;  // --serve PORT; -1: not serving, 0: any free port
    // Why the component's message declaration was refused, for --help.
    std::string messagesError;

    // Defaults from the build (the component library and the source tree),
    // then the arguments, then the declaration of the component's parent
    // messages. False with a one-line `error` for a bad argument or a bad
    // declaration (with --help the error is part of the help instead).
    bool parse(int argc, char** argv, std::string& error);
    // The help, with the parent messages of the component the options name.
    std::string usage() const;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_OPTIONS_H
