// A router that speaks the binary router protocol (router side) on
// 127.0.0.1, for the tests and benchmarks of a router client, and the
// swp08_peer program: SwP08PeerState with sockets and a clock. Options make
// it behave as routers in the field do: slow partial writes, frames the
// client did not ACK sent again, a client dropped after some frames, and
// changes made on its front panel at given moments.
//
// Its sockets and threads are a PeerServer's: the accepting thread plays the
// front panel, each client's thread also sends again what is due. A
// requester sees its ACK before the answer. Every public call is thread-safe.
#ifndef PEERS_SWP08_SW_P08_PEER_H
#define PEERS_SWP08_SW_P08_PEER_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "peers/PeerServer.h"
#include "peers/swp08/SwP08PeerState.h"

namespace zant::routers {

struct SwP08PeerTiming {
    int port = 0;  // 0: a free port the system picks
    // 0: each send in one write; N: N bytes a write, a millisecond apart.
    size_t writeChunk = 0;
    // A frame a client has not ACKed within this is sent again, at most
    // maxResends times; 0: never.
    int resendMs = 0;
    // A client is dropped after this many of its frames; 0: never.
    int dropAfterFrames = 0;

    // Each route asked is written to standard output, as carried out or
    // not: "level L destination D carries source S".
    bool log = false;

    // A change on the front panel, `atMs` after the first client connected.
    struct Change {
        enum class Kind { route, badFrame, stopAcknowledging };
        Kind kind = Kind::route;
        int atMs = 0;
        int level = 0;
        int destination = 0;
        int source = 0;
    };
    std::vector<Change> changes;
};

class SwP08Peer : private peers::PeerServer::Handler {
public:
    static constexpr int maxResends = 5;

    SwP08Peer(SwP08PeerOptions options, SwP08PeerTiming timing);
    ~SwP08Peer() override;
    SwP08Peer(const SwP08Peer&) = delete;
    SwP08Peer& operator=(const SwP08Peer&) = delete;

    // Listens and starts serving; false with a one-line `error`.
    // Threads: any.
    bool start(std::string& error);
    // Threads: any.
    int port() const { return server_.port(); }
    // Disconnects every client and stops listening. Threads: any but the peer's.
    void stop();

    // Changes as on the front panel, reported to every client; false for a
    // number out of range. Threads: any.
    bool route(int level, int destination, int source);
    bool setProtect(int level, int destination, int state);
    // -1 for a number out of range. Threads: any.
    int routeOf(int level, int destination) const;
    // Well-formed frames received from every client. Threads: any.
    size_t framesReceived() const;

private:
    struct Client {
        int frames = 0;
        // The oldest frame not ACKed, since when, and how often sent again.
        SwP08PeerState::Bytes waiting;
        std::chrono::steady_clock::time_point waitingSince;
        int resends = 0;
    };

    int admitLocked() override;
    bool receivedLocked(int client, const std::uint8_t* data, size_t size) override;
    void droppedLocked(int client) override;
    void tickLocked() override;
    void clientTickLocked(int client) override;

    // Writes the routes asked in the newest `newest` frames received.
    void logRoutesLocked(size_t newest);

    const SwP08PeerTiming timing_;
    // Under the server's lock from here on.
    SwP08PeerState state_;
    std::map<int, Client> clients_;
    bool firstConnected_ = false;
    std::chrono::steady_clock::time_point firstConnectedAt_;
    size_t changesMade_ = 0;
    // Last: its threads stop before the state above goes.
    peers::PeerServer server_;
};

}  // namespace zant::routers

#endif  // PEERS_SWP08_SW_P08_PEER_H
