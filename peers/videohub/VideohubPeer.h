// A router that speaks the Videohub Ethernet protocol (server side) on
// 127.0.0.1, for the tests and benchmarks of a router client, and the
// videohub_peer program. It keeps labels, routes and per-client locks, sends
// each client the status dump on connect, answers requests with ACK or NAK
// and reports every change to every client. Options make it behave as
// routers in the field do: slow partial writes, ACKed routes that never
// happen, silence.
//
// Its sockets and threads are a PeerServer's; a requester sees its ACK before
// the change. Every public call is thread-safe.
#ifndef PEERS_VIDEOHUB_VIDEOHUB_PEER_H
#define PEERS_VIDEOHUB_VIDEOHUB_PEER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "peers/PeerServer.h"

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

class VideohubPeer : private peers::PeerServer::Handler {
public:
    explicit VideohubPeer(PeerOptions options = {});
    ~VideohubPeer() override;
    VideohubPeer(const VideohubPeer&) = delete;
    VideohubPeer& operator=(const VideohubPeer&) = delete;

    // Listens and starts serving; false with a one-line `error`.
    bool start(std::string& error);
    int port() const { return server_.port(); }
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
    int admitLocked() override;
    void welcomeLocked(int client) override;
    bool receivedLocked(int client, const std::uint8_t* data, size_t size) override;
    void droppedLocked(int client) override;

    void answerLocked(int client, const std::string& header, const std::vector<std::string>& lines);
    bool changeLabelsLocked(int client, Labels side, const std::vector<std::string>& lines);
    bool changeRoutesLocked(int client, const std::vector<std::string>& lines);
    bool changeLocksLocked(int client, const std::vector<std::string>& lines);
    bool setHolder(int output, int holder);
    void sendLocked(int client, const std::string& text);
    void broadcastLabelsLocked(Labels side, const std::vector<int>& indices);
    void broadcastRoutesLocked(const std::vector<int>& outputs);
    void broadcastLocksLocked(const std::vector<int>& outputs);
    char lockStateLocked(int output, int client) const;
    std::string blockLocked(const std::string& header, int client) const;
    std::string dumpLocked(int client) const;

    PeerOptions options_;
    // Under the server's lock from here on.
    bool silent_ = false;
    int nextClient_ = 1;
    // Per client: what came after its last whole block.
    std::map<int, std::string> pending_;
    std::vector<std::string> inputLabels_;
    std::vector<std::string> outputLabels_;
    std::vector<int> routes_;
    // Per output: 0 free, a client's number, or otherHolder.
    std::vector<int> lockHolders_;
    std::vector<Request> requests_;
    // Last: its threads stop before the state above goes.
    peers::PeerServer server_;
};

}  // namespace zant::videohub

#endif  // PEERS_VIDEOHUB_VIDEOHUB_PEER_H
