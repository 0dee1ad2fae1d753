#include "routers/SwP08Protocol.h"

#include <algorithm>
#include <set>

namespace zant::routers {

namespace {

using Kind = SwP08Message::Kind;

enum Problem {
    malformedFrame,
    shortMessage,
    destinationBeyond,
    sourceBeyond,
    nameBeyond,
    invalidAnswer,
};

const char* faultName(SwP08Frame::Fault fault) {
    switch (fault) {
        case SwP08Frame::Fault::none:
            return "no fault";
        case SwP08Frame::Fault::checksum:
            return "a bad checksum";
        case SwP08Frame::Fault::count:
            return "a byte count that is not its length";
        case SwP08Frame::Fault::tooShort:
            return "too short for a message";
        case SwP08Frame::Fault::tooLong:
            return "longer than a frame may be";
        case SwP08Frame::Fault::cutShort:
            return "cut short";
    }
    return "a fault";
}

// Plain decimal digits in low..high.
bool number(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

std::string numbered(Side side, int index) {
    return (side == Side::source ? "Source " : "Destination ") + std::to_string(index);
}

}  // namespace

bool SwP08Protocol::configure(const std::vector<std::pair<std::string, std::string>>& params,
                              Settings& settings, std::string& error) {
    std::set<std::string> seen;
    for (const auto& [key, value] : params) {
        if (!seen.insert(key).second) {
            error = "swp08://: " + key + "= given twice";
            return false;
        }
        int n = 0;
        if (key == "matrix") {
            if (!number(value, 0, SwP08Message::maxMatrix, n)) {
                error = "swp08://: matrix= is 0 to 255 (counted from 0), not '" + value + "'";
                return false;
            }
            settings.matrix = n;
        } else if (key == "level") {
            settings.levels.clear();
            for (size_t at = 0; at <= value.size();) {
                const size_t comma = std::min(value.find(',', at), value.size());
                if (!number(value.substr(at, comma - at), 0, SwP08Message::maxMatrix, n) ||
                    std::count(settings.levels.begin(), settings.levels.end(), n) > 0) {
                    error =
                        "swp08://: level= lists different levels 0 to 255 (counted from 0), "
                        "as level=0,1, not '" +
                        value + "'";
                    return false;
                }
                settings.levels.push_back(n);
                at = comma + 1;
                if (settings.levels.size() > maxLevels) {
                    error =
                        "swp08://: level= lists at most " + std::to_string(maxLevels) + " levels";
                    return false;
                }
            }
        } else if (key == "names") {
            int code = -1;
            for (int c = 0; c <= SwP08Message::maxLengthCode; ++c) {
                if (std::to_string(SwP08Message::nameWidth(c)) == value) code = c;
            }
            if (code < 0) {
                error = "swp08://: names= is 4, 8, 12, 16 or 32 characters, not '" + value + "'";
                return false;
            }
            settings.lengthCode = code;
        } else if (key == "sources" || key == "destinations") {
            if (!number(value, 1, portLimit, n)) {
                error = "swp08://: " + key + "= is 1 to " + std::to_string(portLimit) + ", not '" +
                        value + "'";
                return false;
            }
            (key == "sources" ? settings.sources : settings.destinations) = n;
        } else {
            error = "swp08://: no parameter " + key +
                    "= (matrix, level, names, sources and destinations are)";
            return false;
        }
    }
    return true;
}

SwP08Protocol::SwP08Protocol(Settings settings) : settings_(std::move(settings)) {}

bool SwP08Protocol::isLevel(int level) const {
    return std::find(settings_.levels.begin(), settings_.levels.end(), level) !=
           settings_.levels.end();
}

void SwP08Protocol::connected(std::string& send) {
    reader_.reset();
    queue_.clear();
    onWire_ = false;
    resent_ = false;
    dead_ = false;
    sentStamp_ = false;
    heardStamp_ = true;
    pending_.clear();
    keepAliveWaiting_ = false;
    starting_ = true;
    probeSent_ = false;
    sourceTable_ = Table{};
    destinationTable_ = Table{};
    routes_.clear();
    routesKnown_ = 0;
    protects_.clear();
    protectNext_ = 0;
    levelRoutes_.assign(settings_.levels.size() > 1 ? settings_.levels.size() : 0, {});
    split_.clear();
    sources_ = 0;
    destinations_ = 0;

    SwP08Message ask;
    ask.matrix = settings_.matrix;
    ask.level = settings_.levels.front();
    ask.lengthCode = settings_.lengthCode;
    ask.kind = Kind::sourceNamesRequest;
    queue(ask, Purpose::start, send);
    ask.kind = Kind::destinationNamesRequest;
    queue(ask, Purpose::start, send);
    ask.kind = Kind::tallyDumpRequest;
    for (int level : settings_.levels) {
        ask.level = level;
        queue(ask, Purpose::start, send);
    }
}

void SwP08Protocol::queue(const SwP08Message& message, Purpose purpose, std::string& send,
                          int request) {
    Outgoing out;
    out.frame = SwP08Frame::encode(message.encode());
    if (out.frame.empty()) return;
    out.purpose = purpose;
    out.level = message.level;
    out.destination = message.destination;
    out.request = request;
    queue_.push_back(std::move(out));
    if (!onWire_) sendNext(send);
}

void SwP08Protocol::sendNext(std::string& send) {
    if (queue_.empty() && !starting_ && protectNext_ < destinations_) {
        // The protects are asked one destination at a time, after the start.
        SwP08Message ask;
        ask.kind = Kind::protectInterrogate;
        ask.matrix = settings_.matrix;
        ask.level = settings_.levels.front();
        ask.destination = protectNext_++;
        Outgoing out;
        out.frame = SwP08Frame::encode(ask.encode());
        out.purpose = Purpose::protect;
        out.destination = ask.destination;
        queue_.push_back(std::move(out));
    }
    if (queue_.empty()) return;
    current_ = std::move(queue_.front());
    queue_.pop_front();
    onWire_ = true;
    resent_ = false;
    sentStamp_ = true;
    send.append(current_.frame.begin(), current_.frame.end());
}

bool SwP08Protocol::awaitingAnswer() const {
    const auto asked = [](const Outgoing& out) {
        return out.purpose == Purpose::route || out.purpose == Purpose::keepAlive;
    };
    return dead_ || (onWire_ && asked(current_)) ||
           std::any_of(queue_.begin(), queue_.end(), asked);
}

bool SwP08Protocol::pendingFor(int destination) const {
    return std::any_of(pending_.begin(), pending_.end(),
                       [destination](const Pending& p) { return p.destination == destination; });
}

void SwP08Protocol::tick(int64_t nowMs, std::string& send) {
    if (sentStamp_) sentAt_ = nowMs;
    if (heardStamp_) heardAt_ = nowMs;
    sentStamp_ = false;
    heardStamp_ = false;
    if (onWire_ && !dead_ && nowMs - sentAt_ >= resendMs) refusedFrame(send);
    if (starting_ && !onWire_ && queue_.empty() && !probeSent_ &&
        nowMs - heardAt_ >= quietStartMs) {
        // Quiet for a while: what the router had to say has come, once it
        // ACKs a question.
        probeSent_ = true;
        SwP08Message ask;
        ask.kind = Kind::interrogate;
        ask.matrix = settings_.matrix;
        ask.level = settings_.levels.front();
        queue(ask, Purpose::probe, send);
    }
}

void SwP08Protocol::refusedFrame(std::string& send) {
    if (!onWire_ || dead_) return;
    if (resent_) {
        dead_ = true;
        return;
    }
    const bool newer = current_.purpose == Purpose::route &&
                       std::any_of(queue_.begin(), queue_.end(), [this](const Outgoing& out) {
                           return out.purpose == Purpose::route && out.level == current_.level &&
                                  out.destination == current_.destination;
                       });
    if (newer) {
        // Sent again it could undo the newer request for its destination.
        onWire_ = false;
        sendNext(send);
        return;
    }
    resent_ = true;
    sentStamp_ = true;
    send.append(current_.frame.begin(), current_.frame.end());
}

void SwP08Protocol::route(int id, int destination, int source, std::string& send) {
    if (pending_.size() == maxPending) pending_.erase(pending_.begin());
    pending_.push_back(Pending{id, destination - 1, source - 1});
    SwP08Message connect;
    connect.kind = Kind::connect;
    connect.matrix = settings_.matrix;
    connect.destination = destination - 1;
    connect.source = source - 1;
    for (int level : settings_.levels) {
        connect.level = level;
        queue(connect, Purpose::route, send, level == settings_.levels.front() ? id : 0);
    }
}

void SwP08Protocol::keepAlive(std::string& send) {
    // A destination no route waits on: its answer must not read as a route's.
    int destination = 0;
    while (pendingFor(destination) && destination + 1 < std::max(destinations_, 1)) ++destination;
    keepAliveWaiting_ = true;
    keepAliveDestination_ = destination;
    SwP08Message ask;
    ask.kind = Kind::interrogate;
    ask.matrix = settings_.matrix;
    ask.level = settings_.levels.front();
    ask.destination = destination;
    queue(ask, Purpose::keepAlive, send);
}

void SwP08Protocol::received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                             std::string& send) {
    std::vector<SwP08Frame::Event> events;
    reader_.feed(reinterpret_cast<const std::uint8_t*>(data), size, events);
    // Each frame is taken whole, its problems said after it, so that the
    // updates are the same however the bytes were cut.
    for (const SwP08Frame::Event& event : events) {
        ProblemTally problems;
        switch (event.kind) {
            case SwP08Frame::Event::Kind::frame: {
                const SwP08Frame::Bytes ack = SwP08Frame::ack();
                send.append(ack.begin(), ack.end());
                heardStamp_ = true;
                take(event.data, updates, problems);
                break;
            }
            case SwP08Frame::Event::Kind::malformed: {
                const SwP08Frame::Bytes nak = SwP08Frame::nak();
                send.append(nak.begin(), nak.end());
                problems.add(malformedFrame,
                             std::string("a frame with ") + faultName(event.fault) + ", NAKed");
                break;
            }
            case SwP08Frame::Event::Kind::ack:
                heardStamp_ = true;
                acknowledged(updates, send);
                break;
            case SwP08Frame::Event::Kind::nak:
                refusedFrame(send);
                break;
        }
        for (std::string& problem : problems.take()) {
            updates.push_back(RouterUpdate::ignoring(std::move(problem)));
        }
        if (starting_ && startComplete()) finishStart(updates, send);
    }
}

void SwP08Protocol::acknowledged(std::vector<RouterUpdate>& updates, std::string& send) {
    if (!onWire_) return;  // a duplicate
    onWire_ = false;
    dead_ = false;
    // Answers come in order: a keep-alive's, if any, came before this ACK.
    if (current_.purpose != Purpose::keepAlive) keepAliveWaiting_ = false;
    if (current_.purpose == Purpose::route && current_.request != 0) {
        for (auto p = pending_.begin(); p != pending_.end(); ++p) {
            if (p->id != current_.request) continue;
            p->acknowledged = true;
            if (p->other >= 0) {
                // Reported otherwise before its ACK (a router that answers first).
                answerRoute(p->destination, p->other, updates);
            }
            break;
        }
    }
    if (current_.purpose == Purpose::probe && starting_) {
        finishStart(updates, send);
        return;
    }
    sendNext(send);
}

bool SwP08Protocol::startComplete() const {
    const int sources = settings_.sources;
    const int destinations = settings_.destinations;
    return sources > 0 && destinations > 0 && !onWire_ && queue_.empty() &&
           sourceTable_.namedCount >= sources && destinationTable_.namedCount >= destinations &&
           routesKnown_ >= destinations;
}

void SwP08Protocol::take(const SwP08Frame::Bytes& data, std::vector<RouterUpdate>& updates,
                         ProblemTally& problems) {
    SwP08Message message;
    switch (SwP08Message::decode(data, message)) {
        case SwP08Message::Decoded::ok:
            break;
        case SwP08Message::Decoded::unknown:
            return;  // a command this client does not use
        case SwP08Message::Decoded::tooShort:
            problems.add(shortMessage,
                         "a message of command " + std::to_string(data[0]) + " too short for it");
            return;
    }
    if (message.kind == Kind::invalidMessage) {
        // Never answered with another: that could go on for ever.
        problems.add(invalidAnswer, "an invalid-message answer (99) to a request");
        return;
    }
    if (message.matrix != settings_.matrix) return;
    switch (message.kind) {
        case Kind::tally:
        case Kind::connected:
            report(message.level, message.destination, message.source, updates, problems);
            return;
        case Kind::tallyDump:
            for (size_t i = 0; i < message.sources.size(); ++i) {
                report(message.level, message.first + static_cast<int>(i), message.sources[i],
                       updates, problems);
            }
            return;
        case Kind::sourceNames:
            names(Side::source, message, updates, problems);
            return;
        case Kind::destinationNames:
            names(Side::destination, message, updates, problems);
            return;
        case Kind::protectTally:
        case Kind::protectConnected:
        case Kind::protectDisconnected:
            if (message.level == settings_.levels.front()) {
                protect(message.destination, message.status, updates, problems);
            }
            return;
        case Kind::interrogate:
        case Kind::connect:
        case Kind::protectInterrogate:
        case Kind::protect:
        case Kind::unprotect:
        case Kind::tallyDumpRequest:
        case Kind::invalidMessage:
        case Kind::sourceNamesRequest:
        case Kind::sourceNameRequest:
        case Kind::destinationNamesRequest:
        case Kind::destinationNameRequest:
            return;
    }
}

void SwP08Protocol::report(int level, int destination, int source,
                           std::vector<RouterUpdate>& updates, ProblemTally& problems) {
    if (!isLevel(level)) return;
    sourceTable_.highestTallied = std::max(sourceTable_.highestTallied, source);
    destinationTable_.highestTallied = std::max(destinationTable_.highestTallied, destination);
    compareLevels(level, destination, source, updates);
    if (level != settings_.levels.front()) return;
    if (starting_) {
        if (destination >= portLimit || source >= portLimit) {
            problems.add(destination >= portLimit ? destinationBeyond : sourceBeyond,
                         "a tally of destination " + std::to_string(destination) + " and source " +
                             std::to_string(source) + " (from 0), beyond the " +
                             std::to_string(portLimit) + " a picture holds");
            return;
        }
        if (routes_.size() <= static_cast<size_t>(destination)) {
            routes_.resize(static_cast<size_t>(destination) + 1, -1);
        }
        if (routes_[destination] < 0) ++routesKnown_;
        routes_[destination] = source;
    } else {
        if (destination >= destinations_ || source >= sources_) {
            const bool destinationOut = destination >= destinations_;
            problems.add(destinationOut ? destinationBeyond : sourceBeyond,
                         "a tally of destination " + std::to_string(destination) + " and source " +
                             std::to_string(source) + " (from 0), beyond the router's " +
                             std::to_string(destinationOut ? destinations_ : sources_) +
                             (destinationOut ? " destinations" : " sources"));
            return;
        }
        updates.push_back(RouterUpdate::routeOf(destination + 1, source + 1));
    }
    if (keepAliveWaiting_ && destination == keepAliveDestination_) {
        keepAliveWaiting_ = false;  // the keep-alive's answer, whatever a route waits for
        return;
    }
    answerRoute(destination, source, updates);
}

void SwP08Protocol::compareLevels(int level, int destination, int source,
                                  std::vector<RouterUpdate>& updates) {
    if (levelRoutes_.empty() || destination >= portLimit) return;
    const size_t at =
        static_cast<size_t>(std::find(settings_.levels.begin(), settings_.levels.end(), level) -
                            settings_.levels.begin());
    std::vector<int>& routes = levelRoutes_[at];
    if (routes.size() <= static_cast<size_t>(destination)) {
        routes.resize(static_cast<size_t>(destination) + 1, -1);
    }
    routes[destination] = source;
    if (starting_ || destination >= destinations_) return;
    const bool split = levelsDisagree(destination);
    if (split_[destination] == split) return;
    split_[destination] = split;
    updates.push_back(RouterUpdate::levelsOf(destination + 1, split));
}

bool SwP08Protocol::levelsDisagree(int destination) const {
    const auto carried = [destination](const std::vector<int>& routes) {
        return static_cast<size_t>(destination) < routes.size() ? routes[destination] : -1;
    };
    const int first = carried(levelRoutes_.front());
    return std::any_of(levelRoutes_.begin(), levelRoutes_.end(),
                       [&](const std::vector<int>& routes) {
                           const int other = carried(routes);
                           return first >= 0 && other >= 0 && other != first;
                       });
}

void SwP08Protocol::answerRoute(int destination, int source, std::vector<RouterUpdate>& updates) {
    for (auto p = pending_.begin(); p != pending_.end(); ++p) {
        if (p->destination != destination) continue;
        if (p->source == source) {
            updates.push_back(RouterUpdate::answerTo(p->id, true));
        } else if (p->acknowledged) {
            const bool isProtected =
                static_cast<size_t>(destination) < protects_.size() && protects_[destination] > 0;
            updates.push_back(RouterUpdate::answerTo(p->id, false,
                                                     std::string(isProtected ? "protected: " : "") +
                                                         "the router reports source " +
                                                         std::to_string(source + 1) + " there"));
        } else {
            p->other = source;
            return;
        }
        pending_.erase(p);
        return;
    }
}

void SwP08Protocol::names(Side side, const SwP08Message& message,
                          std::vector<RouterUpdate>& updates, ProblemTally& problems) {
    Table& table = side == Side::source ? sourceTable_ : destinationTable_;
    for (size_t i = 0; i < message.names.size(); ++i) {
        const int index = message.first + static_cast<int>(i);
        const int limit = starting_ ? portLimit : size(side);
        if (index >= limit) {
            problems.add(nameBeyond, std::string("the name of ") +
                                         (side == Side::source ? "source " : "destination ") +
                                         std::to_string(index) + " (from 0), beyond the " +
                                         std::to_string(limit) +
                                         (starting_ ? " a picture holds" : ""));
            continue;
        }
        std::string name = message.names[i].substr(0, labelLimit);
        if (!starting_) {
            updates.push_back(RouterUpdate::labelOf(side, index + 1, std::move(name)));
            continue;
        }
        if (table.names.size() <= static_cast<size_t>(index)) {
            table.names.resize(static_cast<size_t>(index) + 1);
            table.named.resize(static_cast<size_t>(index) + 1, false);
        }
        if (!table.named[index]) ++table.namedCount;
        table.named[index] = true;
        table.names[index] = std::move(name);
        table.highestNamed = std::max(table.highestNamed, index);
    }
}

void SwP08Protocol::protect(int destination, int state, std::vector<RouterUpdate>& updates,
                            ProblemTally& problems) {
    const int limit = starting_ ? portLimit : destinations_;
    if (destination >= limit) {
        problems.add(destinationBeyond, "the protect of destination " +
                                            std::to_string(destination) + " (from 0), beyond the " +
                                            std::to_string(limit));
        return;
    }
    if (protects_.size() <= static_cast<size_t>(destination)) {
        protects_.resize(static_cast<size_t>(destination) + 1, -1);
    }
    protects_[destination] = state;
    if (!starting_) {
        updates.push_back(RouterUpdate::lockOf(
            destination + 1, state == SwP08Message::unprotected ? Lock::unlocked : Lock::theirs));
    }
}

void SwP08Protocol::finishStart(std::vector<RouterUpdate>& updates, std::string& send) {
    starting_ = false;
    struct Size {
        int count;
        const char* from;
    };
    const auto sizeOf = [](int given, const Table& table) {
        if (given > 0) return Size{given, "the address"};
        if (table.highestNamed >= 0) return Size{table.highestNamed + 1, "the names it listed"};
        if (table.highestTallied >= 0) {
            return Size{std::min(table.highestTallied + 1, portLimit),
                        "the highest numbers its tallies name"};
        }
        return Size{0, nullptr};
    };
    const Size sources = sizeOf(settings_.sources, sourceTable_);
    const Size destinations = sizeOf(settings_.destinations, destinationTable_);
    if (sources.count == 0 || destinations.count == 0) {
        updates.push_back(RouterUpdate::faultOf(
            "gave neither names nor tallies from which to tell its sizes: give them in the "
            "address, ?sources=S&destinations=D"));
        return;
    }
    sources_ = sources.count;
    destinations_ = destinations.count;
    updates.push_back(RouterUpdate::noting("has " + std::to_string(sources_) + " sources (from " +
                                           sources.from + ") and " + std::to_string(destinations_) +
                                           " destinations (from " + destinations.from + ")"));
    updates.push_back(RouterUpdate::sizesOf(sources_, destinations_));
    for (const Side side : {Side::source, Side::destination}) {
        Table& table = side == Side::source ? sourceTable_ : destinationTable_;
        const int count = size(side);
        int unnamed = 0;
        for (int i = 0; i < count; ++i) {
            const bool named = static_cast<size_t>(i) < table.named.size() && table.named[i];
            if (!named) ++unnamed;
            updates.push_back(
                RouterUpdate::labelOf(side, i + 1, named ? table.names[i] : numbered(side, i + 1)));
        }
        if (unnamed > 0) {
            const std::string what = side == Side::source ? "source" : "destination";
            updates.push_back(RouterUpdate::noting(
                (unnamed == count
                     ? "gave no " + what + " names"
                     : "gave no name for " + std::to_string(unnamed) + " " + what + "s") +
                ": they are named by their numbers (" + numbered(side, 1) + ", ...)"));
        }
        table = Table{};
    }
    int outside = 0;
    for (int d = 0; d < destinations_ && static_cast<size_t>(d) < routes_.size(); ++d) {
        if (routes_[d] < 0) continue;
        if (routes_[d] >= sources_) {
            ++outside;
            continue;
        }
        updates.push_back(RouterUpdate::routeOf(d + 1, routes_[d] + 1));
    }
    if (outside > 0) {
        updates.push_back(RouterUpdate::ignoring(std::to_string(outside) +
                                                 " tallies of a source beyond the " +
                                                 std::to_string(sources_) + " sources"));
    }
    routes_ = std::vector<int>();
    if (!levelRoutes_.empty()) {
        split_.assign(static_cast<size_t>(destinations_), false);
        for (int d = 0; d < destinations_; ++d) {
            split_[d] = levelsDisagree(d);
            if (split_[d]) updates.push_back(RouterUpdate::levelsOf(d + 1, true));
        }
    }
    protects_.resize(static_cast<size_t>(destinations_), -1);
    for (int d = 0; d < destinations_; ++d) {
        if (protects_[d] < 0) continue;
        updates.push_back(RouterUpdate::lockOf(
            d + 1, protects_[d] == SwP08Message::unprotected ? Lock::unlocked : Lock::theirs));
    }
    updates.push_back(RouterUpdate::dumpCompleted());
    if (!onWire_) sendNext(send);
}

}  // namespace zant::routers
