// The binary router protocol through the factory, the link and the router on
// the network, over a connection that fails where the test says, with the
// router-side peer core answering between the link's turns, on a clock the
// test moves.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "peers/swp08/SwP08PeerState.h"
#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"
#include "tests/routers/FaultStream.h"
#include "tests/routers/ManualClock.h"

namespace zant::routers {
namespace {

SwP08PeerOptions fourByFour() {
    SwP08PeerOptions options;
    options.levels = 2;
    options.sources = 4;
    options.destinations = 4;
    return options;
}

// The CONNECT of source 3 to destination 2 (1 and 2 on the wire), on level 0.
std::string takeRequest() {
    SwP08Message connect;
    connect.kind = SwP08Message::Kind::connect;
    connect.destination = 1;
    connect.source = 2;
    const SwP08Frame::Bytes frame = SwP08Frame::encode(connect.encode());
    return std::string(frame.begin(), frame.end());
}

size_t count(const std::string& text, const std::string& what) {
    size_t found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++found;
    }
    return found;
}

// A router on the network on levels 0 and 1, its link turned by the test,
// the peer answering what the link wrote after each turn.
struct Rig {
    explicit Rig(int deadlineMs = 2000) : peer(fourByFour()) {
        const RouterFactory factory = RouterFactory::builtIn();
        RouterAddress where;
        EXPECT_TRUE(
            factory.parse("swp08://10.0.0.1:2008?level=0,1&sources=4&destinations=4", where, error))
            << error;
        auto owned = std::make_unique<FaultStream>(clock);
        stream = owned.get();
        RouterFactory::Settings settings;
        settings.clock = &clock;
        settings.deadlineMs = deadlineMs;
        std::unique_ptr<Router> made = factory.router(12, where, settings, error, std::move(owned));
        EXPECT_NE(made, nullptr) << error;
        router.reset(static_cast<NetworkRouter*>(made.release()));
        link = &router->turnByHand();
    }
    // What the link wrote since the last look goes to the peer, its answer
    // back into the stream.
    void serve() {
        if (stream->connects != connects) {
            connects = stream->connects;
            peer.disconnect(client);
            client = peer.connect();
            seen = 0;
        }
        if (!stream->open() || stream->written.size() <= seen) return;
        const std::string fresh = stream->written.substr(seen);
        seen = stream->written.size();
        for (const auto& send : peer.receive(
                 client, reinterpret_cast<const std::uint8_t*>(fresh.data()), fresh.size())) {
            stream->say(std::string(send.bytes.begin(), send.bytes.end()));
        }
    }
    bool start() {
        Router::News ignored;
        link->turn(0);
        for (int i = 0; i < 50; ++i) {
            serve();
            link->turn(0);
        }
        return router->start(5000, ignored, error, {});
    }
    void turn(int turns = 3) {
        for (int i = 0; i < turns; ++i) {
            link->turn(0);
            serve();
            link->turn(0);
            router->takeIn(news);
        }
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> lines;
        for (const RouterNews& said : news.said) {
            if (said.error()) lines.push_back(said.sentence(router->title()));
        }
        return lines;
    }

    ManualClock clock;
    SwP08PeerState peer;
    int client = 0;
    int connects = 0;
    size_t seen = 0;
    FaultStream* stream = nullptr;
    std::unique_ptr<NetworkRouter> router;
    RouterLink* link = nullptr;
    Router::News news;
    std::string error;
};

TEST(SwP08Link, ATakeRoutesEveryLevelAndIsSettledByTheRoutersReport) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    EXPECT_EQ(rig.router->sources(), 4);
    rig.router->connect(3, 2);
    rig.turn(6);
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    EXPECT_EQ(rig.peer.routeOf(0, 1), 2);
    EXPECT_EQ(rig.peer.routeOf(1, 1), 2);
    EXPECT_TRUE(rig.errors().empty());
}

// The connection ends at every byte of the Take's CONNECT while it is
// written: one error line, one reconnect, the request never sent again, and
// the route as the router's new dump says.
TEST(SwP08Link, AConnectionLostAtAnyByteOfATakeEndsInOneLineAndOneReconnect) {
    const std::string request = takeRequest();
    for (size_t at = 0; at <= request.size(); ++at) {
        SCOPED_TRACE("reset after " + std::to_string(at) + " bytes of the CONNECT");
        Rig rig;
        ASSERT_TRUE(rig.start()) << rig.error;
        const size_t before = rig.stream->written.size();
        rig.stream->resetAfterWritten = before + at;
        rig.router->connect(3, 2);
        rig.turn();
        ASSERT_FALSE(rig.stream->open());
        rig.stream->resetAfterWritten = FaultStream::never;
        const bool whole = at == request.size();
        rig.clock.advance(250);
        for (int turn = 0; turn < 20 && rig.stream->connects < 2; ++turn) rig.turn();
        rig.turn(10);
        EXPECT_EQ(rig.stream->connects, 2);
        EXPECT_EQ(count(rig.stream->written, request), 0u) << "not sent again";
        EXPECT_EQ(rig.peer.routeOf(0, 1), whole ? 2 : 1);
        EXPECT_EQ(rig.router->source(2), whole ? 3 : 2);
        EXPECT_TRUE(rig.router->settled());
        const std::vector<std::string> errors = rig.errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("router 12 (swp08://10.0.0.1:2008): connection lost: "),
                  std::string::npos)
            << errors[0];
    }
}

// It still carries out and reports the route: the Take is settled, but the
// unacknowledged CONNECT goes once more, and then the connection is lost.
TEST(SwP08Link, ARouterThatStopsAcknowledgingGetsOneResendThenTheConnectionIsLost) {
    Rig rig(10000);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.peer.setAcknowledge(false);
    rig.router->connect(3, 2);
    for (int step = 0; step < 8 && rig.stream->open(); ++step) {
        rig.turn();
        rig.clock.advance(500);
    }
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    const std::vector<std::string> errors = rig.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "router 12 (swp08://10.0.0.1:2008): connection lost: no answer to a message sent "
              "twice, with no ACK, within 3000 ms; connecting again");
    size_t connects = 0;
    for (const auto& received : rig.peer.received()) {
        if (received.data[0] == 2 && received.data[1] == 0) ++connects;
    }
    EXPECT_EQ(connects, 2u) << "sent once, and once again";
}

}  // namespace
}  // namespace zant::routers
