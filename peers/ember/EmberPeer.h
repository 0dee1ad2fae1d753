// An Ember+ provider on 127.0.0.1 around EmberProviderState, for the tests
// and benchmarks of a matrix client, and the ember_peer program: each
// consumer's bytes go to the state, what the state answers goes to the
// consumers it names (the asker, and every consumer that asked for the
// matrix). Options make it behave as providers in the field do: locked
// targets, pending answers carried out a turn later, slow partial writes, a
// change made on the provider itself after a while, dropped consumers.
//
// Its sockets and threads are a PeerServer's; the accepting thread carries
// out what is due. Every public call is thread-safe.
#ifndef PEERS_EMBER_EMBER_PEER_H
#define PEERS_EMBER_EMBER_PEER_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "peers/PeerServer.h"
#include "peers/ember/EmberProviderState.h"

namespace zant::routers {

struct EmberPeerOptions {
    int port = 0;  // 0: a free port the system picks
    EmberProviderOptions provider;
    // Targets (0-based, as on the wire) locked on the provider.
    std::vector<int> locked;
    // 0: each answer in one write; N: N bytes a write, a millisecond apart.
    size_t writeChunk = 0;
    // A route made on the provider itself, `laterMs` after the first consumer
    // connected (laterMs 0: none).
    int laterMs = 0;
    int laterTarget = 0;
    int laterSource = 0;
};

class EmberPeer : private peers::PeerServer::Handler {
public:
    // Any thread.
    explicit EmberPeer(EmberPeerOptions options = {});
    ~EmberPeer() override;
    EmberPeer(const EmberPeer&) = delete;
    EmberPeer& operator=(const EmberPeer&) = delete;

    // Listens and starts serving; false with a one-line `error`. Any thread.
    bool start(std::string& error);
    int port() const { return server_.port(); }
    // Disconnects every consumer and stops listening. Any thread.
    void stop();

    // As on the provider's own panel, reported to the subscribers. Any thread.
    void route(int target, int source);
    // -1 for a target out of range. Any thread.
    int routeOf(int target) const;
    int consumers() const;
    // Whether `count` consumers were connected within `timeoutMs`. Any thread.
    bool waitForConsumers(int count, int timeoutMs) const;
    // Drops every consumer. Any thread.
    void disconnectAll();

private:
    int admitLocked() override;
    bool receivedLocked(int consumer, const std::uint8_t* data, size_t size) override;
    void droppedLocked(int consumer) override;
    void tickLocked() override;

    void sendLocked(const EmberProviderState::Sends& sends);

    const EmberPeerOptions options_;
    // Under the server's lock from here on.
    EmberProviderState state_;
    bool laterDue_ = false;
    std::chrono::steady_clock::time_point laterAt_;
    // Last: its threads stop before the state above goes.
    peers::PeerServer server_;
};

}  // namespace zant::routers

#endif  // PEERS_EMBER_EMBER_PEER_H
