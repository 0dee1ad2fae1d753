// An Ember+ provider on 127.0.0.1 around EmberProviderState, for the tests
// and benchmarks of a matrix client, and the ember_peer program: each
// consumer's bytes go to the state, what the state answers goes to the
// consumers it names (the asker, and every consumer that asked for the
// matrix). Options make it behave as providers in the field do: locked
// targets, pending answers carried out a turn later, slow partial writes, a
// change made on the provider itself after a while, dropped consumers.
//
// One thread accepts (and carries out what is due), one thread per consumer
// serves it; one lock orders the state and every write, so each consumer
// sees the changes in the same order. Every public call is thread-safe.
#ifndef PEERS_EMBER_EMBER_PEER_H
#define PEERS_EMBER_EMBER_PEER_H

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "peers/ember/EmberProviderState.h"
#include "platform/TcpListener.h"

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

class EmberPeer {
public:
    // Any thread.
    explicit EmberPeer(EmberPeerOptions options = {});
    ~EmberPeer();
    EmberPeer(const EmberPeer&) = delete;
    EmberPeer& operator=(const EmberPeer&) = delete;

    // Listens and starts serving; false with a one-line `error`. Any thread.
    bool start(std::string& error);
    int port() const { return listener_.port(); }
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
    struct Consumer;

    void acceptConsumers();
    void serve(Consumer& consumer);
    void reapFinished();
    void sendLocked(const EmberProviderState::Sends& sends);
    void dropLocked(Consumer& consumer);
    void doDueLocked();

    EmberPeerOptions options_;
    platform::TcpListener listener_;
    std::thread acceptor_;
    bool running_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    EmberProviderState state_;
    std::vector<std::unique_ptr<Consumer>> consumers_;
    bool laterDue_ = false;
    std::chrono::steady_clock::time_point laterAt_;
};

}  // namespace zant::routers

#endif  // PEERS_EMBER_EMBER_PEER_H
