#include "peers/swp08/SwP08Peer.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace zant::routers {

namespace {

// An accepting turn, and a client's: how soon stop(), a front-panel change
// or a resend that is due is seen.
constexpr int turnMs = 20;

using Clock = std::chrono::steady_clock;

peers::PeerServer::Options serverOptions(const SwP08PeerTiming& timing) {
    peers::PeerServer::Options server;
    server.port = timing.port;
    server.turnMs = turnMs;
    server.clientTicks = true;
    server.writeChunk = timing.writeChunk;
    return server;
}

}  // namespace

SwP08Peer::SwP08Peer(SwP08PeerOptions options, SwP08PeerTiming timing)
    : timing_(std::move(timing)),
      state_(std::move(options)),
      server_(*this, serverOptions(timing_)) {}

SwP08Peer::~SwP08Peer() {
    server_.stop();
}

bool SwP08Peer::start(std::string& error) {
    return server_.start(error);
}

void SwP08Peer::stop() {
    server_.stop();
}

bool SwP08Peer::route(int level, int destination, int source) {
    const auto lock = server_.lock();
    const SwP08PeerState::Bytes report = state_.route(level, destination, source);
    server_.broadcastLocked(report);
    return !report.empty();
}

bool SwP08Peer::setProtect(int level, int destination, int state) {
    const auto lock = server_.lock();
    const SwP08PeerState::Bytes report = state_.setProtect(level, destination, state);
    server_.broadcastLocked(report);
    return !report.empty();
}

int SwP08Peer::routeOf(int level, int destination) const {
    const auto lock = server_.lock();
    return state_.routeOf(level, destination);
}

size_t SwP08Peer::framesReceived() const {
    const auto lock = server_.lock();
    return state_.received().size();
}

int SwP08Peer::admitLocked() {
    const int client = state_.connect();
    clients_[client] = {};
    if (!firstConnected_) {
        firstConnected_ = true;
        firstConnectedAt_ = Clock::now();
    }
    return client;
}

void SwP08Peer::droppedLocked(int client) {
    state_.disconnect(client);
    clients_.erase(client);
}

// The front panel's changes whose time has come.
void SwP08Peer::tickLocked() {
    if (!firstConnected_) return;
    const auto elapsed = Clock::now() - firstConnectedAt_;
    while (changesMade_ < timing_.changes.size()) {
        const SwP08PeerTiming::Change& change = timing_.changes[changesMade_];
        if (elapsed < std::chrono::milliseconds(change.atMs)) return;
        ++changesMade_;
        switch (change.kind) {
            case SwP08PeerTiming::Change::Kind::route:
                server_.broadcastLocked(
                    state_.route(change.level, change.destination, change.source));
                break;
            case SwP08PeerTiming::Change::Kind::stopAcknowledging:
                state_.setAcknowledge(false);
                break;
            case SwP08PeerTiming::Change::Kind::badFrame: {
                // A report of the route asked whose checksum is wrong: the
                // client must NAK it and change nothing.
                SwP08Message report;
                report.kind = SwP08Message::Kind::connected;
                report.level = change.level;
                report.destination = change.destination;
                report.source = change.source;
                SwP08PeerState::Bytes frame = SwP08Frame::encode(report.encode());
                if (frame.size() > 3) frame[frame.size() - 3] ^= 0x01;
                server_.broadcastLocked(frame);
                break;
            }
        }
    }
}

bool SwP08Peer::receivedLocked(int client, const std::uint8_t* data, size_t size) {
    const size_t before = state_.received().size();
    const auto sends = state_.receive(client, data, size);
    const size_t after = state_.received().size();
    Client& served = clients_[client];
    served.frames += static_cast<int>(after - before);
    if (timing_.log) logRoutesLocked(after - before);
    for (const SwP08PeerState::Send& send : sends) {
        if (send.toAll) {
            server_.broadcastLocked(send.bytes);
        } else {
            server_.sendLocked(client, send.bytes);
        }
    }
    return timing_.dropAfterFrames == 0 || served.frames < timing_.dropAfterFrames;
}

void SwP08Peer::logRoutesLocked(size_t newest) {
    const auto& received = state_.received();
    for (size_t i = received.size() - newest; i < received.size(); ++i) {
        SwP08Message asked;
        if (SwP08Message::decode(received[i].data, asked) != SwP08Message::Decoded::ok ||
            asked.kind != SwP08Message::Kind::connect) {
            continue;
        }
        std::cout << "level " << asked.level << " destination " << asked.destination
                  << " carries source " << state_.routeOf(asked.level, asked.destination)
                  << std::endl;
    }
}

// The oldest frame the client has not ACKed, sent again when it is due.
void SwP08Peer::clientTickLocked(int client) {
    if (timing_.resendMs <= 0) return;
    Client& served = clients_[client];
    SwP08PeerState::Bytes oldest = state_.resend(client);
    const auto now = Clock::now();
    if (oldest != served.waiting) {
        served.waiting = std::move(oldest);
        served.waitingSince = now;
        served.resends = 0;
        return;
    }
    if (served.waiting.empty() || served.resends == maxResends ||
        now - served.waitingSince < std::chrono::milliseconds(timing_.resendMs)) {
        return;
    }
    ++served.resends;
    served.waitingSince = now;
    server_.sendLocked(client, served.waiting);
}

}  // namespace zant::routers
