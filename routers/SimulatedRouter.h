// The router of the simulated installation: sizes from the device's file,
// names and initial crosspoints from the installation's router file
// (Installation), kept in memory. A route changes at once and is reported
// at the next takeIn, as a router on the network reports its routes.
#ifndef ROUTERS_SIMULATED_ROUTER_H
#define ROUTERS_SIMULATED_ROUTER_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "routers/Router.h"
#include "routers/RouterRegistrations.h"

namespace zant::routers {

class SimulatedRouter : public Router {
public:
    SimulatedRouter(int device, int sources, int destinations);

    int device() const override { return device_; }
    int sources() const override { return sources_; }
    int destinations() const override { return destinations_; }

    // False (and nothing stored) for an index outside the database.
    bool setName(int database, int index, const std::string& name);
    using Router::name;
    bool name(Side side, int index, std::string& name) const override;

    int source(int destination) const override;
    void connect(int source, int destination) override;
    void takeIn(News& news) override;
    std::set<int> routedSinceStart() const override { return changed_; }
    // Forgets which destinations were routed so far (after the initial state).
    void clearChanges() {
        changed_.clear();
        routed_.clear();
    }

    void registerRange(int first, int last, bool add) override {
        registrations_.add(first, last, destinations_, add);
    }
    void unregisterAll() override { registrations_.clear(); }
    bool registered(int destination) const override { return registrations_.contains(destination); }
    std::string registrations() const override { return registrations_.text(); }

private:
    int device_ = 0;
    int sources_ = 0;
    int destinations_ = 0;
    std::map<int, std::string> names_[2];  // by database
    std::vector<int> crosspoints_;         // index = destination
    RouterRegistrations registrations_;
    std::set<int> changed_;
    std::vector<std::pair<int, int>> routed_;  // since the last takeIn
};

}  // namespace zant::routers

#endif  // ROUTERS_SIMULATED_ROUTER_H
