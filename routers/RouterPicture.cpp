#include "routers/RouterPicture.h"

#include <utility>

namespace zant::routers {

RouterPicture::RouterPicture(int maxPorts, size_t maxLabel)
    : maxPorts_(maxPorts), maxLabel_(maxLabel) {}

int RouterPicture::limit(Side side) const {
    if (side == Side::source) return sourcesKnown_ ? sources_ : maxPorts_;
    return destinationsKnown_ ? destinations_ : maxPorts_;
}

RouterPicture::Port* RouterPicture::grow(Side side, int index) {
    if (index < 1 || index > limit(side)) return nullptr;
    std::vector<Port>& held = ports(side);
    if (static_cast<size_t>(index) > held.size()) held.resize(static_cast<size_t>(index));
    return &held[static_cast<size_t>(index) - 1];
}

const RouterPicture::Port* RouterPicture::find(Side side, int index) const {
    const std::vector<Port>& held = ports(side);
    if (index < 1 || static_cast<size_t>(index) > held.size()) return nullptr;
    return &held[static_cast<size_t>(index) - 1];
}

bool RouterPicture::resize(Side side, int count) {
    if (count == RouterUpdate::unknown || count < 0 || count > maxPorts_) return false;
    const bool source = side == Side::source;
    bool changed = (source ? sources_ : destinations_) != count;
    (source ? sources_ : destinations_) = count;
    (source ? sourcesKnown_ : destinationsKnown_) = true;
    std::vector<Port>& held = ports(side);
    if (held.size() > static_cast<size_t>(count)) changed = true;
    // Exactly the router's ports: grown one at a time they would take up to
    // twice the room.
    held.resize(static_cast<size_t>(count));
    if (source) {
        for (Port& destination : destinationPorts_) {
            if (destination.route > count) destination.route = 0;
        }
    }
    return changed;
}

bool RouterPicture::apply(const RouterUpdate& update) {
    switch (update.kind) {
        case RouterUpdate::Kind::sizes: {
            const bool sources = resize(Side::source, update.sources);
            const bool destinations = resize(Side::destination, update.destinations);
            return sources || destinations;
        }
        case RouterUpdate::Kind::label: {
            Port* port = grow(update.side, update.index);
            if (port == nullptr) return false;
            std::string label = update.text.substr(0, maxLabel_);
            if (port->labelled && port->label == label) return false;
            port->label = std::move(label);
            port->labelled = true;
            return true;
        }
        case RouterUpdate::Kind::route: {
            if (update.source < 1 || update.source > limit(Side::source)) return false;
            Port* port = grow(Side::destination, update.destination);
            if (port == nullptr || port->route == update.source) return false;
            port->route = update.source;
            return true;
        }
        case RouterUpdate::Kind::lock: {
            Port* port = grow(Side::destination, update.destination);
            if (port == nullptr || port->lock == update.lock) return false;
            port->lock = update.lock;
            return true;
        }
        case RouterUpdate::Kind::levels: {
            Port* port = grow(Side::destination, update.destination);
            if (port == nullptr || port->split == update.split) return false;
            port->split = update.split;
            return true;
        }
        case RouterUpdate::Kind::dumpComplete:
        case RouterUpdate::Kind::answer:
        case RouterUpdate::Kind::pending:
        case RouterUpdate::Kind::note:
        case RouterUpdate::Kind::ignored:
        case RouterUpdate::Kind::fault:
            return false;
    }
    return false;
}

void RouterPicture::startAgain() {
    sourcesKnown_ = false;
    destinationsKnown_ = false;
}

const std::string* RouterPicture::label(Side side, int index) const {
    const Port* port = find(side, index);
    return port != nullptr && port->labelled ? &port->label : nullptr;
}

int RouterPicture::route(int destination) const {
    const Port* port = find(Side::destination, destination);
    return port != nullptr ? port->route : 0;
}

Lock RouterPicture::lock(int destination) const {
    const Port* port = find(Side::destination, destination);
    return port != nullptr ? port->lock : Lock::none;
}

bool RouterPicture::split(int destination) const {
    const Port* port = find(Side::destination, destination);
    return port != nullptr && port->split;
}

}  // namespace zant::routers
