// The binary router protocol as one connection over TCP speaks it, on one
// matrix and one or more of its levels: frames read by SwP08Frame, messages
// by SwP08Message, mapped onto router updates for the first level listed
// (the component follows it); a route is asked on every level listed.
//
// The start asks for every source and destination name and a tally dump of
// each level, one message at a time, and keeps what comes. It ends when the
// sizes are given and everything of the first level has come, or else once
// the router has been quiet for quietStartMs and then ACKs a question (an
// interrogate): a router may send one name or tally a message, or ACK a
// request it never answers. Only then are the sizes known (the address's,
// else the count of names listed, else the highest numbers the tallies
// name), and the start's updates go out in one piece: a note of the sizes
// and where they came from, the names (numbered ones where the router gave
// none), the routes and the dump's end. No sizes at all is a fault.
//
// The link layer: every well-formed frame from the router is ACKed at once,
// a malformed one NAKed. One message is on the wire until its ACK; after a
// NAK, or no ACK within resendMs, it is sent once more, unless a newer
// request for the same destination waits (an old route replayed would undo
// the newer one). Unanswered again, the connection is taken as dead: the
// protocol says it awaits an answer, and the link drops it.
//
// A route's answer is the router's word on the destination (TALLY or
// CONNECTED of the first level, before or after the ACK): its source asked
// is done; another source after the ACK is a refusal that names it (the
// router reports a protected destination as it is). The reply to a
// keep-alive interrogate only updates the picture. A destination whose
// levels carry different sources is a `levels` update. Protects map to locks
// (Lock::theirs; Lock::unlocked when none). What does not fit (a number
// beyond the sizes, a message too short, a malformed frame) is an `ignored`
// update, one sentence a kind per read; commands it does not use, other
// matrices and levels, and duplicates pass silently; a 99 is never
// answered with one.
//
// Threads: the link's thread alone, as every RouterProtocol.
#ifndef ROUTERS_SW_P08_PROTOCOL_H
#define ROUTERS_SW_P08_PROTOCOL_H

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "routers/ProblemTally.h"
#include "routers/RouterProtocol.h"
#include "routers/SwP08Frame.h"
#include "routers/SwP08Message.h"

namespace zant::routers {

class SwP08Protocol : public RouterProtocol {
public:
    static constexpr int portLimit = 4096;
    static constexpr size_t labelLimit = 32;
    static constexpr int64_t resendMs = 1000;
    static constexpr int64_t quietStartMs = 500;
    // Routes waiting for the router's word; beyond, the oldest is forgotten.
    static constexpr size_t maxPending = 64;
    // Levels one address may list.
    static constexpr size_t maxLevels = 16;

    struct Settings {
        int matrix = 0;
        std::vector<int> levels{0};  // the first is the component's
        int lengthCode = 1;          // 8 characters
        int sources = 0;             // 0: from the router
        int destinations = 0;
    };

    // The settings of an address's parameters (matrix, level, names,
    // sources, destinations); false with a one-line `error`.
    // Threads: the simulation's.
    static bool configure(const std::vector<std::pair<std::string, std::string>>& params,
                          Settings& settings, std::string& error);

    explicit SwP08Protocol(Settings settings);

    void connected(std::string& send) override;
    void received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                  std::string& send) override;
    void tick(int64_t nowMs, std::string& send) override;
    void route(int id, int destination, int source, std::string& send) override;
    void keepAlive(std::string& send) override;
    // The link names what went unanswered when it drops the connection.
    const char* keepAliveName() const override {
        return dead_ ? "a message sent twice, with no ACK," : "INTERROGATE";
    }
    bool awaitingAnswer() const override;
    bool answersWithAcknowledgement() const override { return true; }
    bool midMessage() const override { return reader_.midFrame(); }
    int maxPorts() const override { return portLimit; }
    size_t maxLabel() const override { return labelLimit; }

    // Whether the start has ended on this connection.
    bool started() const { return !starting_; }

private:
    enum class Purpose : std::uint8_t { start, probe, route, keepAlive, protect };
    struct Outgoing {
        SwP08Frame::Bytes frame;
        Purpose purpose = Purpose::start;
        int level = 0;
        int destination = -1;  // of a route or an interrogate, on the wire
        int request = 0;       // the route's id, on the first level
    };
    // A route asked, until the router's word on its destination.
    struct Pending {
        int id;
        int destination;  // on the wire, from 0
        int source;
        bool acknowledged = false;
        int other = -1;  // a source reported before the ACK
    };
    // What the start keeps of a side until the sizes are known.
    struct Table {
        std::vector<std::string> names;
        std::vector<bool> named;
        int namedCount = 0;
        int highestNamed = -1;
        int highestTallied = -1;  // the highest number a tally named
    };

    // Sends `message` now when nothing is on the wire, else after what waits.
    void queue(const SwP08Message& message, Purpose purpose, std::string& send, int request = 0);
    void sendNext(std::string& send);
    void acknowledged(std::vector<RouterUpdate>& updates, std::string& send);
    void refusedFrame(std::string& send);
    void take(const SwP08Frame::Bytes& data, std::vector<RouterUpdate>& updates,
              ProblemTally& problems);
    void report(int level, int destination, int source, std::vector<RouterUpdate>& updates,
                ProblemTally& problems);
    void names(Side side, const SwP08Message& message, std::vector<RouterUpdate>& updates,
               ProblemTally& problems);
    void protect(int destination, int state, std::vector<RouterUpdate>& updates,
                 ProblemTally& problems);
    void answerRoute(int destination, int source, std::vector<RouterUpdate>& updates);
    void finishStart(std::vector<RouterUpdate>& updates, std::string& send);
    bool startComplete() const;
    bool pendingFor(int destination) const;
    int size(Side side) const { return side == Side::source ? sources_ : destinations_; }
    bool isLevel(int level) const;
    // Keeps what `level` carries at `destination`; after the start, says
    // whether the levels came to disagree there, or agree again.
    void compareLevels(int level, int destination, int source, std::vector<RouterUpdate>& updates);
    bool levelsDisagree(int destination) const;

    const Settings settings_;
    SwP08Frame reader_;
    std::deque<Outgoing> queue_;
    Outgoing current_;
    bool onWire_ = false;
    bool resent_ = false;
    bool dead_ = false;  // a message went unacknowledged twice
    int64_t sentAt_ = 0;
    bool sentStamp_ = false;  // sentAt_ is set at the next tick
    int64_t heardAt_ = 0;
    bool heardStamp_ = false;
    std::vector<Pending> pending_;
    bool keepAliveWaiting_ = false;
    int keepAliveDestination_ = 0;

    bool starting_ = true;
    bool probeSent_ = false;
    Table sourceTable_;
    Table destinationTable_;
    std::vector<int> routes_;  // the first level's, -1 unknown, during the start
    int routesKnown_ = 0;
    std::vector<int> protects_;  // the first level's, -1 unknown
    int protectNext_ = 0;        // the next destination whose protect to ask
    // With several levels: what each carries, in the order listed (-1
    // unknown), and the destinations where they disagree.
    std::vector<std::vector<int>> levelRoutes_;
    std::vector<bool> split_;
    int sources_ = 0;  // once the start ended
    int destinations_ = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_SW_P08_PROTOCOL_H
