#include "routers/SimulatedRouter.h"

namespace zant::routers {

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

bool SimulatedRouter::name(Side side, int index, std::string& name) const {
    const int database = side == Side::source ? sourceDatabase : destinationDatabase;
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
        routed_.emplace_back(destination, source);
    }
}

void SimulatedRouter::takeIn(News& news) {
    for (const auto& routed : routed_) news.routed.push_back(routed);
    routed_.clear();
}

}  // namespace zant::routers
