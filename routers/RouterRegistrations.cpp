#include "routers/RouterRegistrations.h"

namespace zant::routers {

void RouterRegistrations::add(int first, int last, int destinations, bool add) {
    if (!add) ranges_.clear();
    if (first < 1) first = 1;
    if (last > destinations) last = destinations;
    if (first <= last) ranges_.emplace_back(first, last);
}

bool RouterRegistrations::contains(int destination) const {
    for (const auto& range : ranges_) {
        if (destination >= range.first && destination <= range.second) return true;
    }
    return false;
}

std::string RouterRegistrations::text() const {
    if (ranges_.empty()) return "none";
    std::string text;
    for (const auto& range : ranges_) {
        if (!text.empty()) text += ", ";
        text += std::to_string(range.first) + ".." + std::to_string(range.second);
    }
    return text;
}

}  // namespace zant::routers
