// One router device as the simulated host and the steps see it: its sources
// (database 0) and destinations (database 1) with their names, the source
// each destination carries (its crosspoint), and the destinations the
// component registered to hear revertives for. The installation chooses the
// kind (SimulatedRouter: the installation's files; VideohubRouter: a real
// router on the network); the host, the steps and the faces know only this,
// and the drawing of "show" is the same for every kind.
#ifndef SIMULATOR_ROUTER_H
#define SIMULATOR_ROUTER_H

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zant::simulator {

class Router {
public:
    static constexpr int sourceDatabase = 0;
    static constexpr int destinationDatabase = 1;

    virtual ~Router() = default;

    virtual int device() const = 0;
    virtual int sources() const = 0;
    virtual int destinations() const = 0;
    bool validSource(int index) const { return index >= 1 && index <= sources(); }
    bool validDestination(int index) const { return index >= 1 && index <= destinations(); }

    // False for an unknown database or index, or an index without a name.
    virtual bool name(int database, int index, std::string& name) const = 0;

    // The source on `destination`; 0 when nothing was ever routed to it.
    virtual int source(int destination) const = 0;
    // Both indices must be valid. A router that answersLater() only asks:
    // the crosspoint changes when takeIn() brings the router's report.
    virtual void connect(int source, int destination) = 0;
    // The destinations routed since the start (after the initial state).
    virtual std::set<int> routedSinceStart() const = 0;

    // Registration of the component for revertives. Without `add` the new
    // range replaces the ranges registered before; ranges are clamped to the
    // destinations. unregisterAll forgets every range.
    virtual void registerRange(int first, int last, bool add) = 0;
    virtual void unregisterAll() = 0;
    virtual bool registered(int destination) const = 0;
    // "1..4, 9..9", or "none".
    virtual std::string registrations() const = 0;

    // What a router that answers later reported since the last takeIn: the
    // crosspoints it reported (destination, source) for revertives, and the
    // lines for the trace.
    struct News {
        std::vector<std::pair<int, int>> routed;
        std::vector<std::string> errors;
        std::vector<std::string> notes;
    };
    virtual bool answersLater() const { return false; }
    virtual void takeIn(News& /*news*/) {}
    // Every route asked of it answered and reported (or given up on, with an
    // error, when its deadline passed).
    virtual bool settled() const { return true; }
    // 'O' locked by this host, 'L' by another client, 'U' unlocked; 0 for a
    // router without locks.
    virtual char lock(int /*destination*/) const { return 0; }
    // Where the router is and how the connection stands; empty for a router
    // that is not on the network.
    virtual std::string connection() const { return {}; }

    // The router's crosspoints, one line a destination, for "show". A large
    // router shows only the destinations routed since the start.
    std::string draw() const;
    static constexpr int drawnInFull = 32;
    // Every destination from `first` to `last` with the source it carries,
    // then the sources of those indices: what a person needs to pick the
    // indices a parent message names. The range is clamped to each database.
    std::string drawIndices(int first, int last) const;

private:
    std::string header() const;
    std::string destinationLine(int destination) const;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_ROUTER_H
