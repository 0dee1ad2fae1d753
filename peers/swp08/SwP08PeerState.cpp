#include "peers/swp08/SwP08PeerState.h"

#include <algorithm>
#include <utility>

namespace zant::routers {

namespace {

using Kind = SwP08Message::Kind;

std::string defaultName(const char* kind, int index) {
    return std::string(kind) + " " + std::to_string(index + 1);
}

SwP08Message reply(Kind kind, const SwP08Message& asked) {
    SwP08Message message;
    message.kind = kind;
    message.extended = asked.extended;
    message.matrix = asked.matrix;
    message.level = asked.level;
    message.destination = asked.destination;
    return message;
}

}  // namespace

SwP08PeerState::SwP08PeerState(SwP08PeerOptions options) : options_(std::move(options)) {
    options_.matrix = std::clamp(options_.matrix, 0, SwP08Message::maxMatrix);
    options_.levels = std::clamp(options_.levels, 1, SwP08Message::maxMatrix + 1);
    options_.sources = std::clamp(options_.sources, 0, SwP08Message::maxNumber + 1);
    options_.destinations = std::clamp(options_.destinations, 0, SwP08Message::maxNumber + 1);
    for (int i = 0; i < options_.sources; ++i) {
        sourceNames_.push_back(i < static_cast<int>(options_.sourceNames.size())
                                   ? options_.sourceNames[i]
                                   : defaultName("Source", i));
    }
    std::vector<int> routes;
    for (int i = 0; i < options_.destinations; ++i) {
        destinationNames_.push_back(i < static_cast<int>(options_.destinationNames.size())
                                        ? options_.destinationNames[i]
                                        : defaultName("Destination", i));
        int source = i < options_.sources ? i : 0;
        if (i < static_cast<int>(options_.routes.size())) source = options_.routes[i];
        routes.push_back(source >= 0 && source < options_.sources ? source : 0);
    }
    for (int level = 0; level < options_.levels; ++level) {
        routes_.insert(routes_.end(), routes.begin(), routes.end());
    }
    protects_.assign(routes_.size(), SwP08Message::unprotected);
}

int SwP08PeerState::connect() {
    const int client = nextClient_++;
    clients_[client];
    return client;
}

void SwP08PeerState::disconnect(int client) {
    clients_.erase(client);
}

std::vector<SwP08PeerState::Send> SwP08PeerState::receive(int client, const std::uint8_t* bytes,
                                                          std::size_t size) {
    std::vector<Send> sends;
    const auto found = clients_.find(client);
    if (found == clients_.end()) return sends;
    std::vector<SwP08Frame::Event> events;
    found->second.reader.feed(bytes, size, events);
    for (SwP08Frame::Event& event : events) {
        std::deque<Bytes>& unacknowledged = found->second.unacknowledged;
        switch (event.kind) {
            case SwP08Frame::Event::Kind::frame:
                if (options_.acknowledge && !options_.replyBeforeAck) {
                    append(false, SwP08Frame::ack(), sends);
                }
                answer(client, event.data, sends);
                if (options_.acknowledge && options_.replyBeforeAck) {
                    append(false, SwP08Frame::ack(), sends);
                }
                if (received_.size() == maxReceived) received_.pop_front();
                received_.push_back({client, std::move(event.data)});
                break;
            case SwP08Frame::Event::Kind::malformed:
                ++malformed_;
                if (options_.acknowledge) append(false, SwP08Frame::nak(), sends);
                break;
            case SwP08Frame::Event::Kind::ack:
                if (!unacknowledged.empty()) unacknowledged.pop_front();
                break;
            case SwP08Frame::Event::Kind::nak:
                // Sent again as it was: it is still the oldest awaiting an ACK.
                if (!unacknowledged.empty()) append(false, unacknowledged.front(), sends);
                break;
        }
    }
    return sends;
}

SwP08PeerState::Bytes SwP08PeerState::resend(int client) const {
    const auto found = clients_.find(client);
    if (found == clients_.end() || found->second.unacknowledged.empty()) return {};
    return found->second.unacknowledged.front();
}

SwP08PeerState::Bytes SwP08PeerState::route(int level, int destination, int source) {
    if (routeOf(level, destination) < 0 || source < 0 || source >= options_.sources) return {};
    routes_[at(level, destination)] = source;
    SwP08Message report;
    report.kind = Kind::connected;
    report.matrix = options_.matrix;
    report.level = level;
    report.destination = destination;
    report.source = source;
    std::vector<Send> sends;
    put(0, true, report, sends);
    return sends.empty() ? Bytes{} : sends.front().bytes;
}

SwP08PeerState::Bytes SwP08PeerState::setProtect(int level, int destination, int state) {
    if (routeOf(level, destination) < 0 || state < SwP08Message::unprotected ||
        state > SwP08Message::protectedByOther) {
        return {};
    }
    protects_[at(level, destination)] = state;
    SwP08Message report;
    report.kind =
        state == SwP08Message::unprotected ? Kind::protectDisconnected : Kind::protectConnected;
    report.matrix = options_.matrix;
    report.level = level;
    report.destination = destination;
    report.status = state;
    std::vector<Send> sends;
    put(0, true, report, sends);
    return sends.empty() ? Bytes{} : sends.front().bytes;
}

int SwP08PeerState::routeOf(int level, int destination) const {
    if (level < 0 || level >= options_.levels || destination < 0 ||
        destination >= options_.destinations) {
        return -1;
    }
    return routes_[at(level, destination)];
}

int SwP08PeerState::protectOf(int level, int destination) const {
    if (routeOf(level, destination) < 0) return -1;
    return protects_[at(level, destination)];
}

std::string SwP08PeerState::sourceName(int source) const {
    return source >= 0 && source < options_.sources ? sourceNames_[source] : std::string();
}

std::string SwP08PeerState::destinationName(int destination) const {
    return destination >= 0 && destination < options_.destinations ? destinationNames_[destination]
                                                                   : std::string();
}

std::size_t SwP08PeerState::at(int level, int destination) const {
    return static_cast<std::size_t>(level) * static_cast<std::size_t>(options_.destinations) +
           static_cast<std::size_t>(destination);
}

bool SwP08PeerState::inRange(const SwP08Message& m) const {
    if (m.matrix != options_.matrix || m.level >= options_.levels) return false;
    switch (m.kind) {
        case Kind::connect:
            return m.source < options_.sources && m.destination < options_.destinations;
        case Kind::interrogate:
        case Kind::protectInterrogate:
        case Kind::protect:
        case Kind::unprotect:
            return m.destination < options_.destinations;
        case Kind::sourceNameRequest:
            return m.first < options_.sources;
        case Kind::destinationNameRequest:
            return m.first < options_.destinations;
        case Kind::tally:
        case Kind::connected:
        case Kind::protectTally:
        case Kind::protectConnected:
        case Kind::protectDisconnected:
        case Kind::tallyDumpRequest:
        case Kind::tallyDump:
        case Kind::invalidMessage:
        case Kind::sourceNamesRequest:
        case Kind::destinationNamesRequest:
        case Kind::sourceNames:
        case Kind::destinationNames:
            return true;
    }
    return true;
}

void SwP08PeerState::answer(int client, const Bytes& data, std::vector<Send>& sends) {
    SwP08Message asked;
    switch (SwP08Message::decode(data, asked)) {
        case SwP08Message::Decoded::ok:
            break;
        case SwP08Message::Decoded::unknown:
            return;
        case SwP08Message::Decoded::tooShort:
            if (options_.answer) put(client, false, reply(Kind::invalidMessage, asked), sends);
            return;
    }
    // Never answer an invalid message with one; answers from a client ask nothing.
    switch (asked.kind) {
        case Kind::invalidMessage:
        case Kind::tally:
        case Kind::connected:
        case Kind::protectTally:
        case Kind::protectConnected:
        case Kind::protectDisconnected:
        case Kind::tallyDump:
        case Kind::sourceNames:
        case Kind::destinationNames:
            return;
        case Kind::interrogate:
        case Kind::connect:
        case Kind::protectInterrogate:
        case Kind::protect:
        case Kind::unprotect:
        case Kind::tallyDumpRequest:
        case Kind::sourceNamesRequest:
        case Kind::sourceNameRequest:
        case Kind::destinationNamesRequest:
        case Kind::destinationNameRequest:
            break;
    }
    if (!options_.answer) return;
    if (!inRange(asked)) return put(client, false, reply(Kind::invalidMessage, asked), sends);

    const std::size_t index = at(asked.level, asked.destination);
    switch (asked.kind) {
        case Kind::interrogate: {
            SwP08Message tally = reply(
                options_.interrogateAnsweredWithConnected ? Kind::connected : Kind::tally, asked);
            tally.source = routes_[index];
            return put(client, false, tally, sends);
        }
        case Kind::connect: {
            // A protected destination is not routed: the asker hears how it is.
            const bool allowed = protects_[index] == SwP08Message::unprotected;
            if (allowed) routes_[index] = asked.source;
            SwP08Message connected = reply(Kind::connected, asked);
            connected.source = routes_[index];
            return put(client, allowed, connected, sends);
        }
        case Kind::protectInterrogate: {
            SwP08Message tally = reply(Kind::protectTally, asked);
            tally.status = protects_[index];
            return put(client, false, tally, sends);
        }
        case Kind::protect:
        case Kind::unprotect: {
            // Only a protect made remotely can be changed remotely.
            const bool allowed = protects_[index] <= SwP08Message::protectedHere;
            if (allowed) {
                protects_[index] = asked.kind == Kind::protect ? SwP08Message::protectedHere
                                                               : SwP08Message::unprotected;
            }
            SwP08Message report =
                reply(protects_[index] == SwP08Message::unprotected ? Kind::protectDisconnected
                                                                    : Kind::protectConnected,
                      asked);
            report.status = protects_[index];
            return put(client, allowed, report, sends);
        }
        case Kind::tallyDumpRequest:
            return answerDump(asked, sends, client);
        case Kind::sourceNamesRequest:
        case Kind::sourceNameRequest:
        case Kind::destinationNamesRequest:
        case Kind::destinationNameRequest:
            return answerNames(asked, sends, client);
        case Kind::invalidMessage:
        case Kind::tally:
        case Kind::connected:
        case Kind::protectTally:
        case Kind::protectConnected:
        case Kind::protectDisconnected:
        case Kind::tallyDump:
        case Kind::sourceNames:
        case Kind::destinationNames:
            return;
    }
}

void SwP08PeerState::answerDump(const SwP08Message& asked, std::vector<Send>& sends, int client) {
    if (options_.dumpAsTallies) {
        for (int destination = 0; destination < options_.destinations; ++destination) {
            SwP08Message tally = reply(Kind::tally, asked);
            tally.destination = destination;
            tally.source = routes_[at(asked.level, destination)];
            put(client, false, tally, sends);
        }
        return;
    }
    SwP08Message dump = reply(Kind::tallyDump, asked);
    dump.destination = 0;
    const auto begin = routes_.begin() + static_cast<std::ptrdiff_t>(at(asked.level, 0));
    dump.sources.assign(begin, begin + options_.destinations);
    dump.extended = asked.extended || options_.alwaysExtended;
    for (const SwP08Message& piece : dump.split()) put(client, false, piece, sends);
}

void SwP08PeerState::answerNames(const SwP08Message& asked, std::vector<Send>& sends, int client) {
    if (options_.names == SwP08PeerOptions::Names::none) return;
    const bool sources =
        asked.kind == Kind::sourceNamesRequest || asked.kind == Kind::sourceNameRequest;
    const std::vector<std::string>& all = sources ? sourceNames_ : destinationNames_;
    SwP08Message names = reply(sources ? Kind::sourceNames : Kind::destinationNames, asked);
    names.lengthCode = asked.lengthCode;
    if (asked.kind == Kind::sourceNameRequest || asked.kind == Kind::destinationNameRequest) {
        names.first = asked.first;
        names.names = {all[static_cast<std::size_t>(asked.first)]};
    } else {
        names.names = all;
    }
    const std::size_t perMessage = options_.names == SwP08PeerOptions::Names::onePerReply ? 1 : 0;
    for (const SwP08Message& piece : names.split(perMessage)) put(client, false, piece, sends);
}

void SwP08PeerState::put(int client, bool toAll, SwP08Message message, std::vector<Send>& sends) {
    message.extended = message.extended || options_.alwaysExtended;
    const Bytes frame = SwP08Frame::encode(message.encode());
    if (frame.empty()) return;
    for (auto& [number, receiver] : clients_) {
        if (!toAll && number != client) continue;
        if (receiver.unacknowledged.size() == maxUnacknowledged) {
            receiver.unacknowledged.pop_front();
        }
        receiver.unacknowledged.push_back(frame);
    }
    append(toAll, frame, sends);
}

void SwP08PeerState::append(bool toAll, const Bytes& bytes, std::vector<Send>& sends) {
    if (sends.empty() || sends.back().toAll != toAll) sends.push_back({toAll, {}});
    sends.back().bytes.insert(sends.back().bytes.end(), bytes.begin(), bytes.end());
}

}  // namespace zant::routers
