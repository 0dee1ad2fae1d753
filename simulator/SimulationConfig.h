// What one simulated run is made of: the component library, the path handed
// to its export, the installation folder, and how the run is traced and
// paced. The faces (command line, browser) fill it in; the simulation core
// has no defaults of its own.
#ifndef SIMULATOR_SIMULATION_CONFIG_H
#define SIMULATOR_SIMULATION_CONFIG_H

#include <string>
#include <vector>

#include "routers/RouterFactory.h"
#include "simulator/ComponentMessages.h"

namespace zant::simulator {

// --router DEVICE=SCHEME://HOST[:PORT]...: the installation's device DEVICE
// is a real router on the network.
struct RouterAddress {
    int device = 0;
    zant::routers::RouterAddress where;
};

struct SimulationConfig {
    std::string library;
    std::string componentPath;
    std::string root;
    std::string system;
    // The parent messages the component declares in its folder.
    ComponentMessages messages;
    bool verbose = false;   // also trace each reply handed back
    bool realtime = false;  // wait steps run in real time
    std::vector<RouterAddress> routers;
    // How long a step waits for a real router to answer and report what the
    // step asked of it.
    int routerDeadlineMs = 2000;
    // What asks the run to stop from outside (a signal's name, "SIGINT"),
    // polled between steps and while a step waits in real time; empty or
    // null while nothing does.
    const char* (*stopRequested)() = nullptr;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_SIMULATION_CONFIG_H
