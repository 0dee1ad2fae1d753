#include "simulator/World.h"

namespace zant::simulator {

Panel* World::panel(const std::string& id) {
    const auto found = panels_.find(id);
    return found == panels_.end() ? nullptr : &found->second;
}

const Panel* World::panel(const std::string& id) const {
    const auto found = panels_.find(id);
    return found == panels_.end() ? nullptr : &found->second;
}

bool World::connect(int device, int source, int destination, std::string& error) {
    Router* target = installation_.router(device);
    if (target == nullptr) {
        error = installation_.noDevice(device);
        return false;
    }
    if (!target->validSource(source) || !target->validDestination(destination)) {
        error = "device " + std::to_string(device) + " has sources 1.." +
                std::to_string(target->sources()) + " and destinations 1.." +
                std::to_string(target->destinations()) + ": no crosspoint " +
                std::to_string(source) + " -> " + std::to_string(destination);
        return false;
    }
    target->connect(source, destination);
    // A real router's report comes later, through the simulation's takeIn.
    if (!target->answersLater()) {
        Router::News news;
        target->takeIn(news);
        queueRevertives(*target, news.routed);
    }
    return true;
}

void World::queueRevertives(const Router& router, const std::vector<std::pair<int, int>>& routed) {
    for (const auto& route : routed) {
        if (router.registered(route.first)) {
            revertives_.push_back(
                zant_revertive_record{router.device(), 0, route.first, route.second});
        }
    }
}

}  // namespace zant::simulator
