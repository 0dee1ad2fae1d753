// The simulated installation as it stands: the routers with their
// crosspoints, the virtual clock with the host timers, the panels the
// component shows, and the revertives waiting for delivery. The host answers
// the component's commands against it; the faces (trace, browser) read it.
#ifndef SIMULATOR_WORLD_H
#define SIMULATOR_WORLD_H

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/zant_host.h"
#include "simulator/Installation.h"
#include "simulator/Panel.h"
#include "simulator/VirtualClock.h"

namespace zant::simulator {

class World {
public:
    Installation& installation() { return installation_; }
    const Installation& installation() const { return installation_; }
    VirtualClock& clock() { return clock_; }
    const VirtualClock& clock() const { return clock_; }

    Panel* panel(const std::string& id);
    const Panel* panel(const std::string& id) const;
    std::map<std::string, Panel>& panels() { return panels_; }
    const std::map<std::string, Panel>& panels() const { return panels_; }

    // Revertives waiting for delivery, oldest first.
    std::deque<zant_revertive_record>& pendingRevertives() { return revertives_; }

    // Routes `source` to `destination` on `device` (asks a real router to);
    // a router that routes at once reports it here, a revertive if the
    // component registered for it. False (with `error`) for an unknown
    // device or an index outside the router.
    bool connect(int device, int source, int destination, std::string& error);
    // The revertives of the crosspoints `router` reported, for the
    // destinations the component registered: the one path of every router's
    // reports to the component.
    void queueRevertives(const Router& router, const std::vector<std::pair<int, int>>& routed);

private:
    Installation installation_;
    VirtualClock clock_;
    std::map<std::string, Panel> panels_;
    std::deque<zant_revertive_record> revertives_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_WORLD_H
