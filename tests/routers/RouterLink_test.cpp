// The link and the router on the network over a connection that fails where
// the test says, on a clock the test moves: every turn of the link is the
// test's, so each interleaving is the same on every run.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"
#include "routers/RouterLink.h"
#include "routers/VideohubProtocol.h"
#include "tests/routers/FaultStream.h"
#include "tests/routers/ManualClock.h"
#include "tests/routers/RouterRig.h"

namespace zant::routers {
namespace {

TEST(NetworkRouter, ATakeIsAskedOnceAndSettledByTheRoutersReport) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    EXPECT_EQ(rig.router->sources(), 4);
    EXPECT_EQ(rig.router->lock(4), Lock::theirs);
    rig.router->connect(3, 2);
    EXPECT_GT(rig.stream->wakes, 0) << "the link is woken for the request";
    rig.turn();
    EXPECT_EQ(rig.stream->written, takeRequest);
    EXPECT_FALSE(rig.router->settled());
    rig.stream->say(takeReply);
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    EXPECT_EQ(rig.news.routed, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_TRUE(rig.news.said.empty());
}

// The connection ends at every byte of the Take's exchange, while the
// request is written (a reset, or a stall that uses up the write's time) or
// while the answer and the report are read: one error line, one reconnect,
// the request never sent again, and the route as the new dump says.
TEST(NetworkRouter, AConnectionLostAtAnyByteOfATakeEndsInOneLineAndOneReconnect) {
    struct Case {
        std::string name;
        size_t resetAfterWritten = FaultStream::never;
        size_t stallAfterWritten = FaultStream::never;
        size_t resetAfterRead = FaultStream::never;
        bool answered = false;  // the ACK was read whole
    };
    std::vector<Case> cases;
    for (size_t at = 0; at < takeRequest.size(); ++at) {
        cases.push_back({"reset writing at " + std::to_string(at), at});
        cases.push_back({"stall writing at " + std::to_string(at), FaultStream::never, at});
    }
    for (size_t at = 0; at < takeReply.size(); ++at) {
        cases.push_back({"reset reading at " + std::to_string(at), FaultStream::never,
                         FaultStream::never, dump().size() + at, at >= 5});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.start()) << rig.error;
        const bool applied = c.resetAfterRead != FaultStream::never;
        rig.stream->resetAfterWritten = c.resetAfterWritten;
        rig.stream->stallAfterWritten = c.stallAfterWritten;
        rig.stream->resetAfterRead = c.resetAfterRead;
        rig.router->connect(3, 2);
        rig.turn();
        if (applied) {
            rig.stream->say(takeReply);
            rig.turn();
        }
        ASSERT_FALSE(rig.stream->open());
        EXPECT_LE(count(rig.stream->written, "ROUTING"), 1u);
        // The router applied the request it read whole; its next dump says so.
        rig.stream->greeting = dump(applied ? 3 : 2);
        rig.stream->resetAfterWritten = rig.stream->stallAfterWritten = FaultStream::never;
        rig.stream->resetAfterRead = FaultStream::never;
        rig.clock.advance(250);
        for (int turn = 0; turn < 10 && rig.stream->connects < 2; ++turn) rig.turn();
        rig.turn(10);
        EXPECT_TRUE(rig.router->settled());
        EXPECT_EQ(rig.stream->connects, 2);
        EXPECT_EQ(count(rig.stream->written, "ROUTING"), 0u) << "not sent again";
        EXPECT_EQ(rig.router->source(2), applied ? 3 : 2);
        const std::vector<std::string> errors = rig.errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("router 12 (videohub://10.0.0.1:9990): connection lost: "),
                  std::string::npos)
            << errors[0];
        EXPECT_EQ(
            errors[0].find("route source 3 -> destination 2 went unanswered") != std::string::npos,
            !c.answered)
            << errors[0];
    }
}

// A name or a lock that changes is drawn again, though there is nothing to
// say of it.
TEST(NetworkRouter, ANameOrLockThatChangesIsRedrawnWithoutALine) {
    const struct {
        const char* name;
        const char* says;
        bool redrawn;
    } cases[] = {
        {"a new name", "INPUT LABELS:\n0 Renamed\n\n", true},
        {"the same name", "INPUT LABELS:\n0 A\n\n", false},
        {"a new lock", "VIDEO OUTPUT LOCKS:\n0 L\n\n", true},
        {"the same lock", "VIDEO OUTPUT LOCKS:\n3 L\n\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.start()) << rig.error;
        rig.stream->say(c.says);
        rig.turn();
        EXPECT_EQ(rig.news.redrawn, c.redrawn);
        EXPECT_TRUE(rig.news.empty());
    }
}

TEST(NetworkRouter, TheRoutersBytesOneAtATimeGiveTheSameRouter) {
    Rig rig;
    rig.stream->pieces = 1;
    rig.stream->greeting.clear();
    rig.link->turn(0);
    rig.stream->say(dump());
    for (size_t turn = 0; turn < dump().size() + 1; ++turn) rig.link->turn(0);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(3, 2);
    rig.stream->say(takeReply);
    for (size_t turn = 0; turn < takeReply.size() + 2; ++turn) rig.turn(1);
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    std::string name;
    EXPECT_TRUE(rig.router->name(Side::destination, 4, name));
    EXPECT_EQ(name, "Z");
}

TEST(NetworkRouter, WhatTheRouterNeverAnswersOrReportsFailsAtTheDeadline) {
    const struct {
        const char* reply;
        const char* line;
    } cases[] = {
        {"",
         "router 12 (videohub://10.0.0.1:9990) did not answer route source 3 -> destination 2 "
         "within 2000 ms; destination 2 carries source 2 as the router last reported"},
        {"ACK\n\n",
         "router 12 (videohub://10.0.0.1:9990) acknowledged route source 3 -> destination 2 but "
         "did not report it within 2000 ms; destination 2 carries source 2 as the router last "
         "reported"},
        {"NAK\n\n",
         "router 12 (videohub://10.0.0.1:9990) refused route source 3 -> destination 2 (NAK); "
         "destination 2 carries source 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        Rig rig;
        ASSERT_TRUE(rig.start()) << rig.error;
        rig.router->connect(3, 2);
        rig.turn();
        rig.stream->say(c.reply);
        rig.turn();
        rig.clock.advance(1999);
        rig.turn(1);
        EXPECT_EQ(rig.errors().size(), *c.reply == 'N' ? 1u : 0u);
        rig.clock.advance(1);
        rig.turn(1);
        EXPECT_EQ(rig.errors(), std::vector<std::string>{c.line});
        EXPECT_TRUE(rig.router->settled());
    }
}

TEST(NetworkRouter, RequestsThatCannotBeSentAreRefusedAtOnce) {
    Rig rig;
    rig.router->connect(1, 1);
    EXPECT_TRUE(rig.router->validDestination(1) || rig.router->settled());
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.stream->resetAfterWritten = 0;
    rig.router->connect(3, 2);
    rig.turn();
    rig.router->connect(3, 2);
    rig.router->takeIn(rig.news);
    const std::vector<std::string> errors = rig.errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1],
              "router 12 (videohub://10.0.0.1:9990) is not connected: route source 3 -> "
              "destination 2 was not sent");

    Rig busy;
    ASSERT_TRUE(busy.start()) << busy.error;
    busy.router->connect(3, 2);
    busy.turn(1);  // on the wire: the rest wait
    for (size_t i = 0; i <= RouterLink::maxQueued; ++i) busy.router->connect(1, 1);
    busy.router->takeIn(busy.news);
    ASSERT_EQ(busy.errors().size(), 1u);
    EXPECT_NE(busy.errors()[0].find("1024 requests already wait to be sent: route source 1 -> "
                                    "destination 1 was not sent"),
              std::string::npos)
        << busy.errors()[0];
}

TEST(RouterLink, AQuietRouterIsAskedForASignOfLifeAndDroppedWithoutOne) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.clock.advance(999);
    rig.turn(1);
    EXPECT_EQ(rig.stream->written, "");
    rig.clock.advance(1);
    rig.turn(1);
    EXPECT_EQ(rig.stream->written, "PING:\n\n");
    rig.stream->say("ACK\n\n");
    rig.clock.advance(2999);
    rig.turn(1);
    EXPECT_TRUE(rig.stream->open());
    rig.clock.advance(1000);
    rig.turn(1);
    EXPECT_EQ(rig.stream->written, "PING:\n\nPING:\n\n");
    rig.clock.advance(3000);
    rig.turn(1);
    EXPECT_FALSE(rig.stream->open());
    EXPECT_EQ(rig.errors(), std::vector<std::string>{
                                "router 12 (videohub://10.0.0.1:9990): connection lost: no answer "
                                "to PING within 3000 ms; connecting again"});
}

TEST(RouterLink, RefusedConnectsBackOffAndSayItOnce) {
    Rig rig;
    rig.stream->refuse = true;
    const std::vector<RouterLink::Event> events = expectBackoff(rig);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "cannot connect to 10.0.0.1:9990: connection refused");
}

// A request whose write fails is reported unanswered, and the loss, before
// the next connection is made; the link's thread alone writes, so no other
// thread can close the connection under it.
TEST(RouterLink, AFailedSendIsReportedBeforeTheNextConnection) {
    ManualClock clock;
    auto owned = std::make_unique<FaultStream>(clock);
    FaultStream& stream = *owned;
    RouterLink link("10.0.0.1", 9990, std::make_unique<VideohubProtocol>(), std::move(owned), clock,
                    RouterLink::Timing());
    link.turn(0);
    ASSERT_EQ(link.take().size(), 1u);
    stream.resetAfterWritten = 3;
    ASSERT_EQ(link.request(7, 1, 1), RouterLink::Queued::yes);
    link.turn(0);
    stream.resetAfterWritten = FaultStream::never;
    clock.advance(250);
    link.turn(0);
    using Kind = RouterLink::Event::Kind;
    std::vector<Kind> kinds;
    std::vector<RouterLink::Event> events = link.take();
    kinds.reserve(events.size());
    for (const RouterLink::Event& event : events) kinds.push_back(event.kind);
    ASSERT_EQ(kinds, (std::vector<Kind>{Kind::unsent, Kind::lost, Kind::connected}));
    EXPECT_EQ(events[0].request, 7);
    EXPECT_EQ(events[1].text, "cannot send: connection reset by peer");
}

TEST(RouterLink, DebugBuildsAbortWhenAnotherThreadTurnsIt) {
#if defined(NDEBUG)
    GTEST_SKIP() << "the owner-thread check is in debug builds";
#else
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            Rig rig;
            rig.link->turn(0);
            std::thread other([&] { rig.link->turn(0); });
            other.join();
        },
        "does not own");
#endif
}

// A protocol that exists only here: lines "SIZE S D" and "ROUTE D S", a
// request answered by the route it asked (no acknowledgement).
class LineProtocol : public RouterProtocol {
public:
    static std::unique_ptr<RouterProtocol> make(const RouterAddress&, std::string&) {
        return std::make_unique<LineProtocol>();
    }
    void connected(std::string&) override { line_.clear(); }
    void received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                  std::string&) override {
        for (size_t i = 0; i < size; ++i) {
            if (data[i] != '\n') {
                line_ += data[i];
                continue;
            }
            std::istringstream words(line_);
            std::string word;
            int first = 0;
            int second = 0;
            words >> word >> first >> second;
            if (word == "SIZE") {
                updates.push_back(RouterUpdate::sizesOf(first, second));
                updates.push_back(RouterUpdate::dumpCompleted());
            } else if (word == "ROUTE") {
                updates.push_back(RouterUpdate::routeOf(first, second));
                if (asked_ != 0 && first == destination_) {
                    updates.push_back(RouterUpdate::answerTo(asked_, true));
                }
                if (first == destination_) asked_ = 0;
            }
            line_.clear();
        }
    }
    void tick(int64_t, std::string&) override {}
    void route(int id, int destination, int source, std::string& send) override {
        send += "ROUTE " + std::to_string(destination) + " " + std::to_string(source) + "\n";
        asked_ = id;
        destination_ = destination;
    }
    void keepAlive(std::string&) override {}
    const char* keepAliveName() const override { return "nothing"; }
    bool awaitingAnswer() const override { return asked_ != 0; }
    bool answersWithAcknowledgement() const override { return false; }
    bool midMessage() const override { return !line_.empty(); }
    int maxPorts() const override { return 16; }
    size_t maxLabel() const override { return 8; }

private:
    std::string line_;
    int asked_ = 0;
    int destination_ = 0;
};

TEST(RouterFactory, AProtocolOfItsOwnGoesThroughTheFactoryTheLinkAndTheRouter) {
    RouterFactory factory = RouterFactory::builtIn();
    factory.add({"lines", 7000, &LineProtocol::make, "lines://HOST[:PORT]"});
    EXPECT_EQ(factory.usage(), RouterFactory::builtIn().usage() + " or lines://HOST[:PORT]");
    Rig rig(factory, "lines://[::1]/studio?level=2");
    rig.stream->greeting = "SIZE 4 3\nROUTE 1 1\n";
    ASSERT_TRUE(rig.start()) << rig.error;
    EXPECT_EQ(rig.router->title(), "router 12 (lines://[::1]:7000)");
    EXPECT_EQ(rig.router->destinations(), 3);
    rig.router->connect(4, 1);
    rig.turn();
    EXPECT_EQ(rig.stream->written, "ROUTE 1 4\n");
    EXPECT_FALSE(rig.router->settled());
    rig.stream->say("ROUTE 1 4\n");
    rig.turn();
    EXPECT_TRUE(rig.router->settled()) << "the new state is the answer";
    EXPECT_EQ(rig.news.routed, (std::vector<std::pair<int, int>>{{1, 4}}));
}

TEST(RouterFactory, AddressesItReadsAndRefuses) {
    const RouterFactory factory = RouterFactory::builtIn();
    const struct {
        const char* text;
        const char* read;  // empty: refused
    } cases[] = {
        {"videohub://10.0.0.1", "videohub://10.0.0.1:9990"},
        {"videohub://router.local:9000/", "videohub://router.local:9000"},
        {"videohub://[fe80::1]:9991", "videohub://[fe80::1]:9991"},
        {"ember://10.0.0.1/router.video", "ember://10.0.0.1:9000"},
        {"ember://10.0.0.1:9001/1.1", "ember://10.0.0.1:9001"},
        {"videohub://h:0", ""},
        {"videohub://h:65536", ""},
        {"videohub://h:+1", ""},
        {"videohub://", ""},
        {"videohub://[::1", ""},
        {"videohub://a@b", ""},
        {"http://10.0.0.1", ""},
        {"10.0.0.1", ""},
        {"swp08://10.0.0.1:2008?level=0,1&names=16", "swp08://10.0.0.1:2008"},
        {"swp08://10.0.0.1", ""},
    };
    for (const auto& c : cases) {
        RouterAddress address;
        std::string error;
        EXPECT_EQ(factory.parse(c.text, address, error), *c.read != '\0') << c.text;
        if (*c.read != '\0') {
            EXPECT_EQ(address.text(), c.read);
        } else {
            EXPECT_EQ(error, "not " + factory.usage());
        }
    }
    RouterAddress address;
    std::string error;
    ASSERT_TRUE(factory.parse("videohub://h/path?x=1", address, error));
    EXPECT_EQ(address.path, "path");
    EXPECT_EQ(address.params, (std::vector<std::pair<std::string, std::string>>{{"x", "1"}}));
    EXPECT_EQ(factory.router(1, address, {}, error), nullptr);
    EXPECT_EQ(error, "a videohub:// address has no path and no parameters");
    ASSERT_TRUE(factory.parse("swp08://h:2008?names=7", address, error));
    EXPECT_EQ(factory.router(1, address, {}, error), nullptr);
    EXPECT_EQ(error, "swp08://: names= is 4, 8, 12, 16 or 32 characters, not '7'");
}

}  // namespace
}  // namespace zant::routers
