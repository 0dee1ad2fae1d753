// What a client knows of one router, whatever its protocol: its sizes, the
// names of its sources and destinations, what each destination carries and
// who holds its lock, kept only from the router's own updates. Indices count
// from 1. Nothing makes it hold more than maxPorts ports a side or a label
// longer than maxLabel (the protocol's bounds), nor a port beyond the sizes
// the router gave; an update beyond them is dropped.
//
// Threads: one (the simulation's).
#ifndef ROUTERS_ROUTER_PICTURE_H
#define ROUTERS_ROUTER_PICTURE_H

#include <cstddef>
#include <string>
#include <vector>

#include "routers/RouterUpdate.h"

namespace zant::routers {

class RouterPicture {
public:
    RouterPicture(int maxPorts, size_t maxLabel);

    // Applies a sizes, label, route or lock update (others change nothing);
    // true when the picture changed.
    bool apply(const RouterUpdate& update);
    // A new connection: what is held stays (so that the new dump tells what
    // changed meanwhile), but the sizes bound nothing until given again.
    void startAgain();

    // 0 before the router gave them.
    int sources() const { return sources_; }
    int destinations() const { return destinations_; }
    // Null when the router gave no name for that port.
    const std::string* label(Side side, int index) const;
    // 0 when the router has not reported the destination's route.
    int route(int destination) const;
    // Lock::none when the router has not reported the destination's lock.
    Lock lock(int destination) const;
    // Whether the levels of a router switched on several carry different
    // sources at the destination.
    bool split(int destination) const;

private:
    struct Port {
        std::string label;
        bool labelled = false;
        int route = 0;  // of a destination
        Lock lock = Lock::none;
        bool split = false;
    };

    bool resize(Side side, int count);
    int limit(Side side) const;
    std::vector<Port>& ports(Side side) {
        return side == Side::source ? sourcePorts_ : destinationPorts_;
    }
    const std::vector<Port>& ports(Side side) const {
        return side == Side::source ? sourcePorts_ : destinationPorts_;
    }
    // The port at `index` (from 1), grown into when `index` is within limit().
    Port* grow(Side side, int index);
    const Port* find(Side side, int index) const;

    const int maxPorts_;
    const size_t maxLabel_;
    int sources_ = 0;
    int destinations_ = 0;
    // Since startAgain: the sizes bound the ports.
    bool sourcesKnown_ = false;
    bool destinationsKnown_ = false;
    std::vector<Port> sourcePorts_;
    std::vector<Port> destinationPorts_;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_PICTURE_H
