#include "peers/ember/EmberPeer.h"

#include <utility>

namespace zant::routers {

namespace {

// An accepting turn: how soon stop() is seen, and pending answers carried out.
constexpr int acceptTurnMs = 50;

peers::PeerServer::Options serverOptions(const EmberPeerOptions& options) {
    peers::PeerServer::Options server;
    server.port = options.port;
    server.turnMs = acceptTurnMs;
    server.writeChunk = options.writeChunk;
    return server;
}

}  // namespace

EmberPeer::EmberPeer(EmberPeerOptions options)
    : options_(std::move(options)),
      state_(options_.provider),
      server_(*this, serverOptions(options_)) {
    for (const int target : options_.locked) state_.setLocked(target, true);
}

EmberPeer::~EmberPeer() {
    server_.stop();
}

bool EmberPeer::start(std::string& error) {
    return server_.start(error);
}

void EmberPeer::stop() {
    server_.stop();
}

int EmberPeer::admitLocked() {
    const int consumer = state_.connect();
    if (options_.laterMs > 0 && !laterDue_ && consumer == 1) {
        laterDue_ = true;
        laterAt_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.laterMs);
    }
    return consumer;
}

// Pending answers are carried out a turn after they were given; the change
// made on the provider itself once its time came.
void EmberPeer::tickLocked() {
    sendLocked(state_.settle());
    if (laterDue_ && std::chrono::steady_clock::now() >= laterAt_) {
        laterDue_ = false;
        sendLocked(state_.route(options_.laterTarget, options_.laterSource));
    }
}

bool EmberPeer::receivedLocked(int consumer, const std::uint8_t* data, size_t size) {
    sendLocked(state_.receive(consumer, data, size));
    return true;
}

void EmberPeer::sendLocked(const EmberProviderState::Sends& sends) {
    for (const EmberProviderState::Send& send : sends)
        server_.sendLocked(send.consumer, send.bytes);
}

void EmberPeer::droppedLocked(int consumer) {
    state_.disconnect(consumer);
}

void EmberPeer::route(int target, int source) {
    const auto lock = server_.lock();
    sendLocked(state_.route(target, source));
}

int EmberPeer::routeOf(int target) const {
    const auto lock = server_.lock();
    return state_.routeOf(target);
}

int EmberPeer::consumers() const {
    return server_.clients();
}

bool EmberPeer::waitForConsumers(int count, int timeoutMs) const {
    return server_.waitForClients(count, timeoutMs);
}

void EmberPeer::disconnectAll() {
    server_.disconnectAll();
}

}  // namespace zant::routers
