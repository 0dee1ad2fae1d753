// One router device of the simulated installation: its sources (database 0)
// and destinations (database 1) with their names, the source each destination
// carries (its crosspoint), and the destinations the component registered to
// hear revertives for.
#ifndef SIMULATOR_ROUTER_H
#define SIMULATOR_ROUTER_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class Router {
public:
    static constexpr int sourceDatabase = 0;
    static constexpr int destinationDatabase = 1;

    Router() = default;
    Router(int device, int sources, int destinations);

    int device() const { return device_; }
    int sources() const { return sources_; }
    int destinations() const { return destinations_; }
    bool validSource(int index) const { return index >= 1 && index <= sources_; }
    bool validDestination(int index) const { return index >= 1 && index <= destinations_; }

    // False (and nothing stored) for an index outside the database.
    bool setName(int database, int index, const std::string& name);
    // False for an unknown database or index, or an index without a name.
    bool name(int database, int index, std::string& name) const;

    // The source on `destination`; 0 when nothing was ever routed to it.
    int source(int destination) const;
    // Both indices must be valid.
    void connect(int source, int destination);
    // Forgets which destinations were routed so far (after the initial state).
    void clearChanges() { changed_.clear(); }

    // Registration of the component for revertives. Without `add` the new
    // range replaces the ranges registered before; ranges are clamped to the
    // destinations. unregisterAll forgets every range.
    void registerRange(int first, int last, bool add);
    void unregisterAll() { ranges_.clear(); }
    bool registered(int destination) const;
    std::string registrations() const;

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

    int device_ = 0;
    int sources_ = 0;
    int destinations_ = 0;
    std::map<int, std::string> names_[2];
    std::vector<int> crosspoints_;  // index = destination
    std::vector<std::pair<int, int>> ranges_;
    std::set<int> changed_;
};

#endif  // SIMULATOR_ROUTER_H
