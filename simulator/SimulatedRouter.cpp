#include "simulator/SimulatedRouter.h"

namespace zant::simulator {

SimulatedRouter::SimulatedRouter(int device, int sources, int destinations)
    : device_(device),
      sources_(sources < 0 ? 0 : sources),
      destinations_(destinations < 0 ? 0 : destinations),
      crosspoints_(static_cast<size_t>(destinations_) + 1, 0) {}

bool SimulatedRouter::setName(int database, int index, const std::string& name) {
    if (database == sourceDatabase ? !validSource(index)
                                   : database != destinationDatabase || !validDestination(index)) {
        return false;
    }
    names_[database][index] = name;
    return true;
}

bool SimulatedRouter::name(int database, int index, std::string& name) const {
    if (database != sourceDatabase && database != destinationDatabase) return false;
    const auto found = names_[database].find(index);
    if (found == names_[database].end()) return false;
    name = found->second;
    return true;
}

int SimulatedRouter::source(int destination) const {
    return validDestination(destination) ? crosspoints_[static_cast<size_t>(destination)] : 0;
}

void SimulatedRouter::connect(int source, int destination) {
    if (validSource(source) && validDestination(destination)) {
        crosspoints_[static_cast<size_t>(destination)] = source;
        changed_.insert(destination);
    }
}

void SimulatedRouter::registerRange(int first, int last, bool add) {
    if (!add) ranges_.clear();
    if (first < 1) first = 1;
    if (last > destinations_) last = destinations_;
    if (first <= last) ranges_.emplace_back(first, last);
}

bool SimulatedRouter::registered(int destination) const {
    for (const auto& range : ranges_) {
        if (destination >= range.first && destination <= range.second) return true;
    }
    return false;
}

std::string SimulatedRouter::registrations() const {
    if (ranges_.empty()) return "none";
    std::string text;
    for (const auto& range : ranges_) {
        if (!text.empty()) text += ", ";
        text += std::to_string(range.first) + ".." + std::to_string(range.second);
    }
    return text;
}

}  // namespace zant::simulator
