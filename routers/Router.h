// One router device as the host and the steps see it: its sources
// (database 0) and destinations (database 1) with their names, the source
// each destination carries (its crosspoint), its locks, and the destinations
// the component registered to hear revertives for. The installation chooses
// the kind (SimulatedRouter: the installation's files; NetworkRouter: a real
// router on the network); the host, the steps and the faces know only this,
// and the drawing of "show" is the same for every kind.
//
// Threads: the simulation's, every method.
#ifndef ROUTERS_ROUTER_H
#define ROUTERS_ROUTER_H

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "routers/RouterNews.h"
#include "routers/RouterUpdate.h"

namespace zant::routers {

class Router {
public:
    // The host's database numbers of the two sides.
    static constexpr int sourceDatabase = 0;
    static constexpr int destinationDatabase = 1;

    virtual ~Router() = default;

    virtual int device() const = 0;
    virtual int sources() const = 0;
    virtual int destinations() const = 0;
    bool validSource(int index) const { return index >= 1 && index <= sources(); }
    bool validDestination(int index) const { return index >= 1 && index <= destinations(); }

    // False for an index without a name.
    virtual bool name(Side side, int index, std::string& name) const = 0;
    // The same by the host's database number; false for an unknown one.
    bool name(int database, int index, std::string& name) const;

    // The source on `destination`; 0 when nothing was ever routed to it.
    virtual int source(int destination) const = 0;
    // Both indices must be valid. The crosspoint changes when the router
    // reports it: at once for a router in memory, later (takeIn) for one
    // on the network.
    virtual void connect(int source, int destination) = 0;
    // The destinations routed since the start (after the initial state).
    virtual std::set<int> routedSinceStart() const = 0;
    // Lock::none for a router without locks.
    virtual Lock lock(int /*destination*/) const { return Lock::none; }
    // Whether a router driven on several levels carries different sources
    // at the destination on them; false for one level.
    virtual bool levelsDisagree(int /*destination*/) const { return false; }

    // Registration of the component for revertives. Without `add` the new
    // range replaces the ranges registered before; ranges are clamped to the
    // destinations. unregisterAll forgets every range.
    virtual void registerRange(int first, int last, bool add) = 0;
    virtual void unregisterAll() = 0;
    virtual bool registered(int destination) const = 0;
    // "1..4, 9..9", or "none".
    virtual std::string registrations() const = 0;

    // What the router reported since the last takeIn: the crosspoints it
    // reported (destination, source), which become revertives, and what
    // else it has to say. Every kind of router reports routes this way.
    struct News {
        std::vector<std::pair<int, int>> routed;
        std::vector<RouterNews> said;
        // A name, a lock or the levels changed: nothing to say, but what
        // shows the router is to be drawn again.
        bool redrawn = false;
        bool empty() const { return routed.empty() && said.empty(); }
    };
    virtual void takeIn(News& news) = 0;
    // Connects and waits, at most `timeoutMs`, for the router's state (its
    // sizes and routes); what came that is ignored is in `news`. False with
    // a one-line `error`, also when `stopped` says so meanwhile. A router in
    // memory has nothing to wait for.
    virtual bool start(int /*timeoutMs*/, News& /*news*/, std::string& /*error*/,
                       const std::function<bool()>& /*stopped*/) {
        return true;
    }
    // Waits (wall) at most `timeoutMs` for something to take in.
    virtual void waitForNews(int /*timeoutMs*/) {}
    // Whether a route asked may be reported later than connect() returns.
    virtual bool answersLater() const { return false; }
    // Every route asked of it answered and reported (or given up on, with an
    // error, when its deadline passed).
    virtual bool settled() const { return true; }
    // Where the router is and how the connection stands; empty for a router
    // that is not on the network.
    virtual std::string connection() const { return {}; }
    // "router 12", or with where it is: "router 12 (videohub://HOST:PORT)".
    virtual std::string title() const;

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

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_H
