// The destinations of one router that the component registered to hear
// revertives for, as ranges: what "RR" (replace or add) and "RU" (forget
// all) leave, clamped to the router's destinations.
#ifndef ROUTERS_ROUTER_REGISTRATIONS_H
#define ROUTERS_ROUTER_REGISTRATIONS_H

#include <string>
#include <utility>
#include <vector>

namespace zant::routers {

class RouterRegistrations {
public:
    // Without `add` the new range replaces the ranges registered before.
    void add(int first, int last, int destinations, bool add);
    void clear() { ranges_.clear(); }
    bool contains(int destination) const;
    // "1..4, 9..9", or "none".
    std::string text() const;

private:
    std::vector<std::pair<int, int>> ranges_;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_REGISTRATIONS_H
