// The router side of the binary router protocol, without I/O: the state of a
// router (one matrix, its levels, sources, destinations, names, routes and
// protects) and of each connected client's link. Fed a client's bytes, it
// returns what to send, in order, to that client and to every client; a
// program or a test owns the sockets and the clock.
//
// Each well-formed frame is ACKed and answered, a malformed one NAKed. A
// route made by any client, or on the front panel, is reported to every
// client; answers to questions go to the asker. A request outside the
// router's matrix, levels or sizes, or too short for its command, is answered
// with an invalid message; a command the router does not know is ACKed and
// never answered, as some routers do. Options make it behave as routers in
// the field do. Not thread-safe: one thread, or one lock, at a time.
#ifndef PEERS_SWP08_SW_P08_PEER_STATE_H
#define PEERS_SWP08_SW_P08_PEER_STATE_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "routers/SwP08Frame.h"
#include "routers/SwP08Message.h"

namespace zant::routers {

struct SwP08PeerOptions {
    int matrix = 0;
    int levels = 1;  // levels 0 .. levels - 1, each with its own routes and protects
    int sources = 16;
    int destinations = 16;
    // Names not given are "Source 1".., "Destination 1"..; extra ones are ignored.
    std::vector<std::string> sourceNames;
    std::vector<std::string> destinationNames;
    // On every level, destination i carries routes[i]; not given: source i,
    // or 0 where there is no source i.
    std::vector<int> routes;

    enum class Names : std::uint8_t { many, onePerReply, none };
    Names names = Names::many;
    // An interrogate answered with CONNECTED instead of TALLY.
    bool interrogateAnsweredWithConnected = false;
    // A tally dump request answered with one TALLY per destination.
    bool dumpAsTallies = false;
    // Every answer and report in the extended form, asked in it or not.
    bool alwaysExtended = false;
    // The answer sent before the ACK of its request.
    bool replyBeforeAck = false;
    // False: frames are neither ACKed nor NAKed.
    bool acknowledge = true;
    // False: requests are ACKed and never answered, nor carried out.
    bool answer = true;
};

class SwP08PeerState {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Send {
        bool toAll = false;  // false: to the client whose bytes these answer
        Bytes bytes;
    };

    struct Received {
        int client = 0;
        Bytes data;  // the DATA of a well-formed frame
    };

    // Frames a client has not ACKed, kept for resend(); older ones are dropped.
    static constexpr std::size_t maxUnacknowledged = 64;
    // Frames kept for received(); older ones are dropped.
    static constexpr std::size_t maxReceived = 4096;

    explicit SwP08PeerState(SwP08PeerOptions options = {});

    // A new client's number: 1 for the first, and so on.
    int connect();
    void disconnect(int client);
    // What `bytes` from `client` call for, in the order to send it. Every
    // frame in it counts as sent to its receivers, awaiting their ACK.
    std::vector<Send> receive(int client, const std::uint8_t* bytes, std::size_t size);
    // The oldest frame `client` has not ACKed, to send it again; empty when
    // there is none.
    Bytes resend(int client) const;

    // Changes as on the router's front panel, returning the report for every
    // client; empty for a number out of range. A route ignores protects.
    Bytes route(int level, int destination, int source);
    Bytes setProtect(int level, int destination, int state);

    // From now on frames are ACKed and NAKed, or neither.
    void setAcknowledge(bool acknowledge) { options_.acknowledge = acknowledge; }

    // -1 for a number out of range.
    int routeOf(int level, int destination) const;
    int protectOf(int level, int destination) const;
    std::string sourceName(int source) const;
    std::string destinationName(int destination) const;
    // Well-formed frames from every client, oldest first.
    const std::deque<Received>& received() const { return received_; }
    std::size_t malformedFrames() const { return malformed_; }

private:
    struct Client {
        SwP08Frame reader;
        std::deque<Bytes> unacknowledged;
    };

    // Answers one frame's message into `sends`.
    void answer(int client, const Bytes& data, std::vector<Send>& sends);
    void answerNames(const SwP08Message& asked, std::vector<Send>& sends, int client);
    void answerDump(const SwP08Message& asked, std::vector<Send>& sends, int client);
    // Appends `message` framed to `sends`, and to its receivers' frames that
    // await an ACK.
    void put(int client, bool toAll, SwP08Message message, std::vector<Send>& sends);
    // Appends bytes as they are.
    static void append(bool toAll, const Bytes& bytes, std::vector<Send>& sends);
    bool inRange(const SwP08Message& message) const;
    std::size_t at(int level, int destination) const;

    SwP08PeerOptions options_;
    std::map<int, Client> clients_;
    int nextClient_ = 1;
    std::vector<int> routes_;    // per level, then destination
    std::vector<int> protects_;  // the same
    std::vector<std::string> sourceNames_;
    std::vector<std::string> destinationNames_;
    std::deque<Received> received_;
    std::size_t malformed_ = 0;
};

}  // namespace zant::routers

#endif  // PEERS_SWP08_SW_P08_PEER_STATE_H
