// The sockets every router peer shares: it listens on 127.0.0.1, accepts
// clients, reads each on a thread of its own and writes to them, and hands
// everything that happens to the peer's protocol through a Handler. One lock
// orders the handler's state and every write, so every client sees the
// changes in the same order, and a requester its answer before the news.
//
// Threads: one accepts (and ticks the handler on each turn), one per client
// serves it; every Handler call runs on one of them, under the lock. The
// public calls are thread-safe unless they say otherwise.
#ifndef PEERS_PEER_SERVER_H
#define PEERS_PEER_SERVER_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/TcpListener.h"

namespace zant::peers {

class PeerServer {
public:
    // The protocol side of a peer. Every call holds the server's lock.
    class Handler {
    public:
        virtual ~Handler() = default;
        // A client came: its number (1 for the first, and so on).
        virtual int admitLocked() = 0;
        // After admitLocked, before anything the client sends: the greeting.
        virtual void welcomeLocked(int /*client*/) {}
        // Bytes from `client`; false drops the client.
        virtual bool receivedLocked(int client, const std::uint8_t* data, size_t size) = 0;
        // The client is gone, or was dropped; nothing more is sent to it.
        virtual void droppedLocked(int /*client*/) {}
        // Each accepting turn: what the router does on its own.
        virtual void tickLocked() {}
        // Each turn of a client, with Options::clientTicks: resends that are due.
        virtual void clientTickLocked(int /*client*/) {}
    };

    struct Options {
        int port = 0;  // 0: a free port the system picks
        // How soon stop() and a tick that is due are seen.
        int turnMs = 50;
        // Whether each client's thread also turns every turnMs.
        bool clientTicks = false;
        // 0: each send in one write; N: N bytes a write, a millisecond apart.
        size_t writeChunk = 0;
        // The wait before a client's bytes are handled; what it sends
        // meanwhile is handed over with them.
        int answerDelayMs = 0;
    };

    // `handler` outlives the server, or its owner calls stop() first.
    PeerServer(Handler& handler, Options options);
    ~PeerServer();
    PeerServer(const PeerServer&) = delete;
    PeerServer& operator=(const PeerServer&) = delete;

    // Listens and starts serving; false with a one-line `error`.
    bool start(std::string& error);
    int port() const { return listener_.port(); }
    // Drops every client and stops listening. Threads: any but the server's.
    void stop();

    // The lock every Handler call holds, for the handler's own public calls.
    std::unique_lock<std::mutex> lock() const { return std::unique_lock<std::mutex>(mutex_); }
    // Waits at most `timeoutMs` until `ready` holds; it is tested under the
    // lock, after each client that comes or goes and each read handled.
    bool waitFor(int timeoutMs, const std::function<bool()>& ready) const;

    // Writes to one client, or to every one; a client that cannot take the
    // bytes in time is closed and then dropped by its own thread.
    void sendLocked(int client, std::string_view bytes);
    void sendLocked(int client, const std::vector<std::uint8_t>& bytes);
    void broadcastLocked(std::string_view bytes);
    void broadcastLocked(const std::vector<std::uint8_t>& bytes);
    // The numbers of the clients connected, oldest first.
    std::vector<int> clientsLocked() const;
    void dropLocked(int client);
    void disconnectAllLocked();

    int clients() const;
    // Whether exactly `count` clients were connected within `timeoutMs`.
    bool waitForClients(int count, int timeoutMs) const;
    void disconnectAll();

private:
    struct Client;

    void acceptClients();
    void serve(Client& client);
    void reapFinished();
    void dropLocked(Client& client);
    Client* findLocked(int number);

    Handler& handler_;
    const Options options_;
    platform::TcpListener listener_;
    std::thread acceptor_;
    bool running_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Client>> clients_;
};

}  // namespace zant::peers

#endif  // PEERS_PEER_SERVER_H
