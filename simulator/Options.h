// panel_host's command line.
#ifndef SIMULATOR_OPTIONS_H
#define SIMULATOR_OPTIONS_H

#include <string>

struct Options {
    std::string library;
    std::string componentPath;
    std::string root;
    std::string system;
    std::string scenario;  // empty: none given
    bool interactive = false;
    bool verbose = false;
    bool realtime = false;  // wait steps run in real time
    bool help = false;

    // Defaults from the build (the component library and the source tree),
    // then the arguments. False with a one-line `error` for a bad argument.
    bool parse(int argc, char** argv, std::string& error);
    static std::string usage();
};

#endif  // SIMULATOR_OPTIONS_H
