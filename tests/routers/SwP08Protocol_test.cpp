// One connection of the binary router protocol against the router-side peer
// core, in memory, on a clock the test moves: the start with every way the
// peer can answer, whole or a byte at a time; routes on every level, their
// answers and refusals; the link layer's ACKs, NAKs and its one resend.
#include "routers/SwP08Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "peers/swp08/SwP08PeerState.h"
#include "routers/RouterPicture.h"

namespace {

using zant::routers::Lock;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;
using zant::routers::Side;
using zant::routers::SwP08Frame;
using zant::routers::SwP08Message;
using zant::routers::SwP08PeerOptions;
using zant::routers::SwP08PeerState;
using zant::routers::SwP08Protocol;
using Kind = RouterUpdate::Kind;
using Bytes = SwP08Frame::Bytes;

// A crosspoint message: `kind` of `destination` and `source`, matrix and level 0.
SwP08Message crosspoint(SwP08Message::Kind kind, int destination, int source) {
    SwP08Message message;
    message.kind = kind;
    message.destination = destination;
    message.source = source;
    return message;
}

std::string text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The protocol and a peer joined by a wire that may cut every read to one
// byte, or lose what the client sends.
struct Wire {
    explicit Wire(SwP08PeerOptions options = {}, SwP08Protocol::Settings settings = {})
        : protocol(std::move(settings)), router(std::move(options)), client(router.connect()) {}

    SwP08Protocol protocol;
    SwP08PeerState router;
    int client;
    RouterPicture picture{SwP08Protocol::portLimit, SwP08Protocol::labelLimit};
    std::vector<RouterUpdate> updates;
    std::string toRouter;
    bool oneByte = false;
    bool lose = false;  // what the client sends never arrives
    int64_t now = 0;

    void deliver(const Bytes& bytes) {
        const size_t step = oneByte ? 1 : std::max<size_t>(bytes.size(), 1);
        for (size_t at = 0; at < bytes.size(); at += step) {
            std::vector<RouterUpdate> got;
            const size_t size = std::min(step, bytes.size() - at);
            protocol.received(reinterpret_cast<const char*>(bytes.data()) + at, size, got,
                              toRouter);
            for (RouterUpdate& update : got) {
                picture.apply(update);
                updates.push_back(std::move(update));
            }
        }
    }
    // Until neither side has anything to say (bounded).
    void pump() {
        for (int round = 0; round < 10000 && !toRouter.empty(); ++round) {
            const std::string sent = std::move(toRouter);
            toRouter.clear();
            if (lose) continue;
            for (const auto& send : router.receive(
                     client, reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size())) {
                deliver(send.bytes);
            }
        }
    }
    void tick(int64_t ms) {
        now += ms;
        protocol.tick(now, toRouter);
        pump();
    }
    void start() {
        protocol.connected(toRouter);
        tick(0);
        for (int i = 0; i < 20 && !protocol.started(); ++i) tick(200);
    }
    std::vector<RouterUpdate> take(Kind kind) {
        std::vector<RouterUpdate> found;
        for (const RouterUpdate& update : updates) {
            if (update.kind == kind) found.push_back(update);
        }
        return found;
    }
    std::string joined(Kind kind) {
        std::string all;
        for (const RouterUpdate& update : take(kind)) all += update.text + "\n";
        return all;
    }
    // The messages of `command` (either form) the router received.
    int received(int command) const {
        return static_cast<int>(std::count_if(
            router.received().begin(), router.received().end(),
            [command](const SwP08PeerState::Received& r) { return r.data[0] % 128 == command; }));
    }
};

struct StartCase {
    const char* name;
    void (*shape)(SwP08PeerOptions&);
    std::vector<std::pair<std::string, std::string>> params;
    const char* sizesFrom;
};

TEST(SwP08Protocol, StartsFromWhatEveryKindOfRouterSends) {
    const std::vector<StartCase> cases = {
        {"names many to a reply", [](SwP08PeerOptions&) {}, {}, "from the names it listed"},
        {"names one to a reply",
         [](SwP08PeerOptions& o) { o.names = SwP08PeerOptions::Names::onePerReply; },
         {},
         "from the names it listed"},
        {"no names",
         [](SwP08PeerOptions& o) { o.names = SwP08PeerOptions::Names::none; },
         {},
         "from the highest numbers its tallies name"},
        {"dump as single tallies, extended, reply before ack",
         [](SwP08PeerOptions& o) {
             o.dumpAsTallies = true;
             o.alwaysExtended = true;
             o.replyBeforeAck = true;
         },
         {},
         "from the names it listed"},
        {"sizes given",
         [](SwP08PeerOptions&) {},
         {{"sources", "12"}, {"destinations", "9"}},
         "from the address"},
    };
    for (const StartCase& c : cases) {
        for (const bool oneByte : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (oneByte ? ", a byte at a time" : ""));
            SwP08PeerOptions options;
            options.sources = 12;
            options.destinations = 9;
            options.sourceNames = {"CAM 1   ", "VTR"};
            options.routes = {3, 3, 11, 0, 7};
            c.shape(options);
            SwP08Protocol::Settings settings;
            std::string error;
            ASSERT_TRUE(SwP08Protocol::configure(c.params, settings, error));
            Wire wire(options, settings);
            wire.oneByte = oneByte;
            wire.start();
            ASSERT_TRUE(wire.protocol.started());
            EXPECT_EQ(wire.take(Kind::dumpComplete).size(), 1u);
            EXPECT_NE(wire.joined(Kind::note).find(c.sizesFrom), std::string::npos)
                << wire.joined(Kind::note);
            const bool noNames = options.names == SwP08PeerOptions::Names::none;
            // Tallies name source 11 at most, destination 8.
            EXPECT_EQ(wire.picture.sources(), 12);
            EXPECT_EQ(wire.picture.destinations(), 9);
            EXPECT_EQ(*wire.picture.label(Side::source, 1), noNames ? "Source 1" : "CAM 1");
            // Names of 8 characters asked, the default.
            EXPECT_EQ(*wire.picture.label(Side::destination, 9),
                      noNames ? "Destination 9" : "Destinat");
            EXPECT_EQ(wire.joined(Kind::note).find("gave no source names") != std::string::npos,
                      noNames);
            EXPECT_EQ(wire.picture.route(3), 12);
            EXPECT_EQ(wire.picture.route(5), 8);
            EXPECT_EQ(wire.picture.route(9), 9);
            EXPECT_TRUE(wire.take(Kind::ignored).empty()) << wire.joined(Kind::ignored);
            EXPECT_TRUE(wire.take(Kind::fault).empty());
        }
    }
}

TEST(SwP08Protocol, RoutesEveryLevelAndAnswersFromTheRoutersWord) {
    SwP08PeerOptions options;
    options.levels = 3;
    SwP08Protocol::Settings settings;
    settings.levels = {2, 0};
    Wire wire(options, settings);
    wire.start();
    wire.updates.clear();

    wire.protocol.route(7, 4, 11, wire.toRouter);
    EXPECT_TRUE(wire.protocol.awaitingAnswer());
    wire.pump();
    EXPECT_EQ(wire.router.routeOf(2, 3), 10);
    EXPECT_EQ(wire.router.routeOf(0, 3), 10);
    EXPECT_EQ(wire.router.routeOf(1, 3), 3);
    EXPECT_FALSE(wire.protocol.awaitingAnswer());
    const auto answers = wire.take(Kind::answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].request, 7);
    EXPECT_TRUE(answers[0].done);
    EXPECT_EQ(wire.picture.route(4), 11);

    // Another client's route, on the level followed and on one not followed.
    wire.updates.clear();
    wire.deliver(wire.router.route(1, 5, 2));
    EXPECT_TRUE(wire.take(Kind::route).empty());
    wire.deliver(wire.router.route(2, 5, 2));
    EXPECT_EQ(wire.picture.route(6), 3);
    EXPECT_TRUE(wire.take(Kind::answer).empty());

    // Destination 6 carries source 3 on level 2 and source 6 on level 0,
    // until level 0 follows.
    EXPECT_TRUE(wire.picture.split(6));
    EXPECT_FALSE(wire.picture.split(4));
    wire.deliver(wire.router.route(0, 5, 2));
    EXPECT_FALSE(wire.picture.split(6));
    EXPECT_EQ(wire.take(Kind::levels).size(), 2u);
}

TEST(SwP08Protocol, AProtectedDestinationIsAskedAndRefusedByTheRouter) {
    Wire wire;
    wire.router.setProtect(0, 2, SwP08Message::protectedFixed);
    wire.start();
    wire.tick(0);  // the protects, asked after the start
    EXPECT_EQ(wire.picture.lock(3), Lock::theirs);
    EXPECT_EQ(wire.picture.lock(4), Lock::unlocked);

    wire.updates.clear();
    wire.protocol.route(1, 3, 9, wire.toRouter);
    wire.pump();
    EXPECT_EQ(wire.received(2), 1);  // sent all the same
    const auto answers = wire.take(Kind::answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].done);
    EXPECT_EQ(answers[0].text, "protected: the router reports source 3 there");
    EXPECT_EQ(wire.picture.route(3), 3);
}

TEST(SwP08Protocol, ResendsOnceAfterANakOrSilenceThenAwaitsTheLinksVerdict) {
    for (const bool nak : {false, true}) {
        SCOPED_TRACE(nak ? "NAKed" : "never ACKed");
        Wire wire;
        wire.start();
        wire.protocol.route(1, 2, 5, wire.toRouter);
        std::string sends;
        for (int i = 0; i < 3; ++i) {
            if (nak) {
                wire.deliver(SwP08Frame::nak());
            } else {
                wire.now += SwP08Protocol::resendMs;
                wire.protocol.tick(wire.now, wire.toRouter);
            }
            sends += wire.toRouter;
            wire.toRouter.clear();
        }
        // The CONNECT went out twice in all: once at first, once again.
        const Bytes frame =
            SwP08Frame::encode(crosspoint(SwP08Message::Kind::connect, 1, 4).encode());
        EXPECT_EQ(sends, text(frame) + text(frame));
        EXPECT_TRUE(wire.protocol.awaitingAnswer());
    }
}

TEST(SwP08Protocol, NeverResendsARouteOverANewerOneForItsDestination) {
    Wire wire;
    wire.start();
    wire.lose = true;
    wire.protocol.route(1, 2, 5, wire.toRouter);
    wire.protocol.route(2, 2, 6, wire.toRouter);
    wire.toRouter.clear();
    wire.deliver(SwP08Frame::nak());
    SwP08Message newer = crosspoint(SwP08Message::Kind::connect, 1, 5);
    EXPECT_EQ(wire.toRouter, text(SwP08Frame::encode(newer.encode())));
}

TEST(SwP08Protocol, AKeepAliveAnswerNeverSettlesARoute) {
    SwP08PeerOptions options;
    options.destinations = 1;
    options.answer = false;  // ACKs, and nothing more
    SwP08Protocol::Settings settings;
    settings.sources = 4;
    settings.destinations = 1;
    Wire wire(options, settings);
    wire.start();
    wire.updates.clear();
    wire.protocol.route(3, 1, 2, wire.toRouter);
    wire.pump();
    wire.protocol.keepAlive(wire.toRouter);
    wire.pump();
    SwP08Message tally = crosspoint(SwP08Message::Kind::tally, 0, 1);
    wire.deliver(SwP08Frame::encode(tally.encode()));
    EXPECT_TRUE(wire.take(Kind::answer).empty());
    tally.kind = SwP08Message::Kind::connected;
    wire.deliver(SwP08Frame::encode(tally.encode()));
    ASSERT_EQ(wire.take(Kind::answer).size(), 1u);
    EXPECT_TRUE(wire.take(Kind::answer)[0].done);

    // A keep-alive never answered does not swallow a later route's report.
    wire.updates.clear();
    wire.protocol.keepAlive(wire.toRouter);
    wire.pump();
    wire.protocol.route(4, 1, 3, wire.toRouter);
    wire.pump();
    tally.source = 2;
    wire.deliver(SwP08Frame::encode(tally.encode()));
    ASSERT_EQ(wire.take(Kind::answer).size(), 1u);
    EXPECT_EQ(wire.take(Kind::answer)[0].request, 4);
}

TEST(SwP08Protocol, BadFramesAreNakedAndChangeNothing) {
    Wire wire;
    wire.start();
    wire.updates.clear();
    wire.toRouter.clear();
    SwP08Message connected = crosspoint(SwP08Message::Kind::connected, 1, 9);
    Bytes frame = SwP08Frame::encode(connected.encode());
    Bytes bad = frame;
    bad[bad.size() - 3] ^= 1;  // the checksum
    SwP08Message invalid;
    invalid.kind = SwP08Message::Kind::invalidMessage;
    const Bytes ninetyNine = SwP08Frame::encode(invalid.encode());
    const Bytes unknown = SwP08Frame::encode({77, 1, 2});
    wire.deliver(bad);
    EXPECT_EQ(wire.toRouter, text(SwP08Frame::nak()));
    wire.toRouter.clear();
    wire.deliver(ninetyNine);
    wire.deliver(unknown);
    wire.deliver(frame);
    wire.deliver(frame);  // a duplicate, the router resending
    // ACKs only: a 99 is never answered with one.
    std::string acks;
    for (int i = 0; i < 4; ++i) acks += text(SwP08Frame::ack());
    EXPECT_EQ(wire.toRouter, acks);
    EXPECT_EQ(wire.picture.route(2), 10);
    EXPECT_NE(wire.joined(Kind::ignored).find("a frame with a bad checksum, NAKed"),
              std::string::npos);
    EXPECT_EQ(wire.take(Kind::route).size(), 2u);
}

TEST(SwP08Protocol, ARouterWithoutNamesOrTalliesNeedsItsSizesGiven) {
    SwP08Protocol protocol({});
    std::string send;
    protocol.connected(send);
    std::vector<RouterUpdate> updates;
    // Every request ACKed and never answered.
    for (int64_t now = 0; now < 5000 && !protocol.started(); now += 100) {
        if (!send.empty()) {
            send.clear();
            protocol.received("\x10\x06", 2, updates, send);
        }
        protocol.tick(now, send);
    }
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back().kind, Kind::fault);
    EXPECT_NE(updates.back().text.find("?sources=S&destinations=D"), std::string::npos);
}

TEST(SwP08Protocol, ConfiguresFromTheAddressOrSaysWhy) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> params;
        const char* error;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {{{"matrix", "3"}, {"level", "0,2,15"}, {"names", "16"}}, ""},
        {{{"matrix", "256"}}, "matrix= is 0 to 255"},
        {{{"level", "1,1"}}, "level= lists different levels"},
        {{{"level", ""}}, "level= lists"},
        {{{"level", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"}}, "at most 16 levels"},
        {{{"names", "9"}}, "names= is 4, 8, 12, 16 or 32"},
        {{{"sources", "0"}}, "sources= is 1 to 4096"},
        {{{"colour", "red"}}, "no parameter colour="},
        {{{"matrix", "1"}, {"matrix", "2"}}, "given twice"},
    };
    for (const Case& c : cases) {
        SwP08Protocol::Settings settings;
        std::string error;
        EXPECT_EQ(SwP08Protocol::configure(c.params, settings, error), *c.error == '\0') << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    SwP08Protocol::Settings settings;
    std::string error;
    ASSERT_TRUE(SwP08Protocol::configure({{"level", "4,1"}, {"names", "32"}}, settings, error));
    EXPECT_EQ(settings.levels, (std::vector<int>{4, 1}));
    EXPECT_EQ(settings.lengthCode, 4);
}

}  // namespace
