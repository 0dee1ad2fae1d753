// A router that speaks the Videohub Ethernet protocol (server side) on
// 127.0.0.1, for the tests and benchmarks of a router client, and the
// videohub_peer program. It keeps labels, routes and per-client locks, sends
// each client the status dump on connect, answers requests with ACK or NAK
// and reports every change to every client. Options make it behave as
// routers in the field do: slow partial writes, ACKed routes that never
// happen, silence.
//
// One thread accepts, one thread per client serves it; one lock orders all
// state and writes, so every client sees the changes in the same order, and
// a requester its ACK before the change. Every public call is thread-safe.
#ifndef PEERS_VIDEOHUB_VIDEOHUB_PEER_H
#define PEERS_VIDEOHUB_VIDEOHUB_PEER_H

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/TcpListener.h"

namespace zant::videohub {

struct PeerOptions {
    int port = 0;  // 0: a free port the system picks
    int inputs = 16;
    int outputs = 16;
    std::string modelName = "Test Router";
    std::string friendlyName = "Test Router";
    std::string uniqueId = "A1B2C3D4E5F6";
    std::string version = "2.8";
    // Labels not given are "Input 1".., "Output 1"..; extra ones are ignored.
    std::vector<std::string> inputLabels;
    std::vector<std::string> outputLabels;
    // The input of each output; not given: output i carries input i, or
    // input 0 where there is no input i.
    std::vector<int> routes;
    // False: route requests are ACKed but never applied nor reported.
    bool reportRoutes = true;
    // 0: each block in one write; N: N bytes a write, a millisecond apart.
    size_t writeChunk = 0;
    // The wait before a request is answered; a client that sends another
    // block meanwhile shows in Request::unanswered.
    int answerDelayMs = 0;
    bool answerPings = true;
};

class VideohubPeer {
public:
    explicit VideohubPeer(PeerOptions options = {});
    ~VideohubPeer();
    VideohubPeer(const VideohubPeer&) = delete;
    VideohubPeer& operator=(const VideohubPeer&) = delete;

    // Listens and starts serving; false with a one-line `error`.
    bool start(std::string& error);
    int port() const { return listener_.port(); }
    // Disconnects every client and stops listening.
    void stop();

    enum class Labels { input, output };

    // Changes as on the router's front panel, reported to every client;
    // false for an index out of range. A route ignores locks.
    bool route(int output, int input);
    bool setLabel(Labels side, int index, const std::string& label);
    // A lock held by nobody connected (the front panel, another system):
    // every client sees L. unlock() forces any lock open.
    bool lockByOther(int output);
    bool unlock(int output);

    // -1 for an output out of range.
    int routeOf(int output) const;
    bool locked(int output) const;
    std::vector<std::string> labels(Labels side) const;

    int clients() const;
    // Whether exactly `count` clients were connected within `timeoutMs`.
    bool waitForClients(int count, int timeoutMs) const;
    // Drops every client (their locks are released).
    void disconnectAll();
    // New counts for later dumps; the connected clients are dropped.
    // Labels and routes of the ports that remain are kept.
    void resize(int inputs, int outputs);
    // While silent nothing is sent to anyone, not even a dump; requests are
    // recorded and ignored.
    void setSilent(bool silent);

    struct Request {
        int client;        // 1 for the first client that connected, and so on
        std::string text;  // the block as received, "HEADER:\n...\n\n"
        // The client's blocks that had come and were not yet answered when
        // the peer read this one, itself included: 1 for a client that waits
        // for each answer.
        int unanswered;
    };
    // Every request block received so far, in order.
    std::vector<Request> requests() const;
    bool waitForRequests(size_t count, int timeoutMs) const;

private:
    struct Client;

    void acceptClients();
    void serve(Client& client);
    void reapFinished();
    void dropLocked(Client& client);
    void answerLocked(Client& client, const std::string& header,
                      const std::vector<std::string>& lines);
    bool changeLabelsLocked(Client& client, Labels side, const std::vector<std::string>& lines);
    bool changeRoutesLocked(Client& client, const std::vector<std::string>& lines);
    bool changeLocksLocked(Client& client, const std::vector<std::string>& lines);
    bool setHolder(int output, int holder);
    void sendLocked(Client& client, const std::string& text);
    void broadcastLabelsLocked(Labels side, const std::vector<int>& indices);
    void broadcastRoutesLocked(const std::vector<int>& outputs);
    void broadcastLocksLocked(const std::vector<int>& outputs);
    char lockStateLocked(int output, const Client& client) const;
    std::string blockLocked(const std::string& header, const Client& client) const;
    std::string dumpLocked(const Client& client) const;
    int clientsLocked() const;

    PeerOptions options_;
    platform::TcpListener listener_;
    std::thread acceptor_;
    bool running_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    bool silent_ = false;
    int nextClient_ = 1;
    std::vector<std::unique_ptr<Client>> clients_;
    std::vector<std::string> inputLabels_;
    std::vector<std::string> outputLabels_;
    std::vector<int> routes_;
    // Per output: 0 free, a client's number, or otherHolder.
    std::vector<int> lockHolders_;
    std::vector<Request> requests_;
};

}  // namespace zant::videohub

#endif  // PEERS_VIDEOHUB_VIDEOHUB_PEER_H
