// Routers that misbehave as routers in the field do: accept and drop, burst,
// answer slowly, report another route than the one asked, flood the link
// with what cannot be read. Each case on the test's clock, over a stream the
// test plays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "routers/RouterNews.h"
#include "tests/routers/RouterRig.h"

namespace zant::routers {
namespace {

using Kind = RouterLink::Event::Kind;

int countEvents(const std::vector<RouterLink::Event>& events, Kind kind) {
    int found = 0;
    for (const RouterLink::Event& event : events) found += event.kind == kind ? 1 : 0;
    return found;
}

// A router that accepts every connection and drops it before it says
// anything is tried ever less often, and said to be lost once.
TEST(HostileRouter, OneThatAcceptsAndDropsIsBackedOffAndReportedOnce) {
    Rig rig;
    rig.stream->greeting.clear();
    rig.stream->resetAfterRead = 0;
    const std::vector<RouterLink::Event> events = expectBackoff(rig, 1);
    EXPECT_EQ(countEvents(events, Kind::lost), 1);
}

// Once a connection brought its dump, the next loss starts the backoff anew.
TEST(HostileRouter, AHealthyConnectionStartsTheBackoffAgain) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    for (int loss = 0; loss < 3; ++loss) {
        rig.stream->resetAfterRead = dump().size();
        rig.stream->say("garbage");
        rig.turn(2);
        ASSERT_FALSE(rig.stream->open());
        rig.stream->resetAfterRead = FaultStream::never;
        rig.clock.advance(250);
        rig.turn(3);
        ASSERT_TRUE(rig.stream->open()) << "loss " << loss << ": reconnected after 250 ms";
    }
}

// A burst of routing news that the simulation has not taken in yet is
// merged per destination, not dropped: the picture is right at the end and
// the connection is kept.
TEST(HostileRouter, ABurstOfRoutesIsMergedPerDestinationAndNothingIsLost) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    // A label first: what the merge keeps is kept whole.
    std::string burst = "INPUT LABELS:\n0 Renamed\n\n";
    constexpr int blocks = 200000;
    for (int i = 0; i < blocks; ++i) {
        burst += "VIDEO OUTPUT ROUTING:\n" + std::to_string(i % 4) + " " +
                 std::to_string((i / 4) % 4) + "\n\n";
    }
    rig.stream->say(burst);
    for (size_t turn = 0; turn < burst.size() / 1024 && rig.stream->open(); ++turn) {
        rig.link->turn(0);
    }
    rig.router->takeIn(rig.news);
    EXPECT_TRUE(rig.stream->open());
    EXPECT_EQ(rig.stream->connects, 1);
    EXPECT_EQ(rig.errors(), std::vector<std::string>{});
    for (int destination = 1; destination <= 4; ++destination) {
        const int last = blocks - 4 + destination - 1;
        EXPECT_EQ(rig.router->source(destination), (last / 4) % 4 + 1) << destination;
    }
    EXPECT_LE(rig.news.routed.size(), 4u * 2);
    std::string name;
    EXPECT_TRUE(rig.router->name(Side::source, 1, name));
    EXPECT_EQ(name, "Renamed");
}

// The dump of a router of `ports` inputs and outputs, each label ending in
// `mark`, output N carrying input N + shift (modulo the ports).
std::string largeDump(int ports, const std::string& mark, int shift) {
    std::string inputs = "INPUT LABELS:\n";
    std::string outputs = "OUTPUT LABELS:\n";
    std::string locks = "VIDEO OUTPUT LOCKS:\n";
    std::string routes = "VIDEO OUTPUT ROUTING:\n";
    for (int port = 0; port < ports; ++port) {
        const std::string index = std::to_string(port);
        inputs += index + " In " + index + mark + "\n";
        outputs += index + " Out " + index + mark + "\n";
        locks += index + " U\n";
        routes += index + " " + std::to_string((port + shift) % ports) + "\n";
    }
    return "PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n"
           "Video inputs: " +
           std::to_string(ports) + "\nVideo outputs: " + std::to_string(ports) + "\n\n" + inputs +
           "\n" + outputs + "\n" + locks + "\n" + routes + "\n";
}

// A dump with more ports than the backlog holds, arriving while the
// simulation does not take anything in: the link stops reading and the
// router's bytes wait in the network; nothing is dropped, the connection is
// kept, and once taken in the picture is the router's.
TEST(HostileRouter, ADumpLargerThanTheBacklogWaitsForTheSimulation) {
    // Its labels and locks fill the backlog before its routes come.
    constexpr int ports = 4000;
    static_assert(3 * ports > static_cast<int>(RouterLink::maxBacklog));
    Rig rig;
    rig.stream->greeting = largeDump(ports, "", 0);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.stream->say(largeDump(ports, "'", 1));
    for (int turn = 0; turn < 1000; ++turn) rig.link->turn(0);
    EXPECT_GT(rig.stream->unread(), 0u) << "the link stopped reading";
    for (int turn = 0; turn < 1000 && rig.stream->unread() > 0; ++turn) rig.turn(1);
    rig.turn(1);
    EXPECT_EQ(rig.stream->unread(), 0u);
    EXPECT_TRUE(rig.stream->open());
    EXPECT_EQ(rig.stream->connects, 1);
    EXPECT_EQ(rig.errors(), std::vector<std::string>{});
    for (const int port : {1, ports / 2, ports}) {
        std::string name;
        EXPECT_TRUE(rig.router->name(Side::source, port, name));
        EXPECT_EQ(name, "In " + std::to_string(port - 1) + "'");
        EXPECT_EQ(rig.router->source(port), port % ports + 1) << port;
    }
}

// A router that keeps talking and never answers is alive but of no use: the
// request is given up after the longest wait, and the connection with it.
TEST(HostileRouter, ARouterThatTalksAndNeverAnswersIsLostAfterTheLongestWait) {
    Rig rig(RouterFactory::builtIn(), "videohub://10.0.0.1", 60000);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(3, 2);
    rig.turn();
    const LinkTiming timing;
    for (int ms = 0; ms < timing.longestAnswerMs && rig.stream->connects == 1; ms += 1000) {
        rig.clock.advance(1000);
        rig.stream->say("VIDEO OUTPUT ROUTING:\n0 " + std::to_string(ms / 1000 % 4) + "\n\n");
        rig.turn(1);
    }
    EXPECT_FALSE(rig.stream->open());
    const std::vector<std::string> errors = rig.errors();
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors.front().find("no answer to a request within 30000 ms while the router kept "
                                  "sending"),
              std::string::npos)
        << errors.front();
}

// A route is settled only by a report of the source asked; once the router
// has acknowledged it, a report of another source is an error that names
// both. A report of another source before the acknowledgement is the state
// before it.
TEST(HostileRouter, AnAcknowledgedRouteReportedWithAnotherSourceIsAnError) {
    const struct {
        const char* name;
        const char* reply;
        const char* line;  // nullptr: none, settled
    } cases[] = {
        {"other source after the ACK", "ACK\n\nVIDEO OUTPUT ROUTING:\n1 0\n\n",
         "router 12 (videohub://10.0.0.1:9990) acknowledged route source 3 -> destination 2 but "
         "reported destination 2 carrying source 1"},
        {"other source before the ACK",
         "VIDEO OUTPUT ROUTING:\n1 0\n\nACK\n\n"
         "VIDEO OUTPUT ROUTING:\n1 2\n\n",
         nullptr},
        {"the source asked", "ACK\n\nVIDEO OUTPUT ROUTING:\n1 2\n\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ASSERT_TRUE(rig.start()) << rig.error;
        rig.router->connect(3, 2);
        rig.turn();
        rig.stream->say(c.reply);
        rig.turn();
        EXPECT_TRUE(rig.router->settled());
        if (c.line == nullptr) {
            EXPECT_EQ(rig.errors(), std::vector<std::string>{});
            EXPECT_EQ(rig.router->source(2), 3);
        } else {
            EXPECT_EQ(rig.errors(), std::vector<std::string>{c.line});
            EXPECT_EQ(rig.router->source(2), 1);
        }
        rig.clock.advance(5000);
        rig.turn(1);
        EXPECT_EQ(rig.errors().size(), c.line == nullptr ? 0u : 1u) << "said once";
    }
}

// A router still sending its dump is alive: a request waits for its answer
// while bytes come, and the connection is kept.
TEST(HostileRouter, ARequestWaitsForItsAnswerWhileTheRouterIsSending) {
    Rig rig(RouterFactory::builtIn(), "videohub://10.0.0.1", 30000);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(3, 2);
    rig.turn();
    const std::string slow = dump();
    for (size_t at = 0; at < slow.size(); at += slow.size() / 8 + 1) {
        rig.clock.advance(1000);
        rig.stream->say(slow.substr(at, slow.size() / 8 + 1));
        rig.turn(1);
    }
    rig.stream->say(takeReply);
    rig.turn();
    EXPECT_EQ(rig.stream->connects, 1);
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    EXPECT_EQ(rig.errors(), std::vector<std::string>{});
}

// Input that cannot be read is noted a few times per connection, then
// counted: the trace stays small however much comes. Bytes that cannot be
// printed are escaped.
TEST(HostileRouter, NotesOfRefusedInputAreBoundedPerConnection) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += "VIDEO OUTPUT ROUTING:\nx\x8f " + std::to_string(i) + "\n\n";
    rig.stream->say(garbage);
    for (size_t turn = 0; turn < garbage.size() / 1024; ++turn) rig.turn(1);
    size_t notes = 0;
    bool escaped = false;
    for (const RouterNews& said : rig.news.said) {
        if (said.kind != RouterNews::Kind::ignored) continue;
        ++notes;
        escaped = escaped || said.text.find("\\x8f") != std::string::npos;
    }
    EXPECT_LE(notes, 16u);
    EXPECT_TRUE(escaped);
}

// "connected again" is said when the new connection brought the router's
// state, not when a connection was merely accepted.
TEST(HostileRouter, ConnectedAgainIsSaidOnceTheDumpCame) {
    Rig rig;
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.stream->resetAfterRead = dump().size();
    rig.stream->say("x");
    rig.turn(2);
    rig.stream->greeting.clear();
    rig.stream->resetAfterRead = 0;
    rig.clock.advance(250);
    rig.turn(3);
    ASSERT_EQ(rig.stream->connects, 2);
    const auto saidAgain = [&rig] {
        int found = 0;
        for (const RouterNews& said : rig.news.said) {
            found += said.kind == RouterNews::Kind::connectedAgain ? 1 : 0;
        }
        return found;
    };
    EXPECT_EQ(saidAgain(), 0);
    rig.stream->greeting = dump();
    rig.stream->resetAfterRead = FaultStream::never;
    rig.clock.advance(500);
    rig.turn(3);
    ASSERT_EQ(rig.stream->connects, 3);
    EXPECT_EQ(saidAgain(), 1);
}

// A start whose first connection is dropped tries again; one whose router
// announces more than the client can hold says so, not only that no dump
// came.
TEST(HostileRouter, AStartSurvivesADroppedFirstConnectionAndSaysWhyItFailed) {
    Rig dropped;
    dropped.stream->greeting.clear();
    dropped.stream->resetAfterRead = 0;
    dropped.link->turn(0);
    dropped.link->turn(0);
    ASSERT_FALSE(dropped.stream->open());
    dropped.stream->greeting = dump();
    dropped.stream->resetAfterRead = FaultStream::never;
    dropped.clock.advance(250);
    EXPECT_TRUE(dropped.start()) << dropped.error;

    Rig huge;
    std::string announced = dump();
    announced.replace(announced.find("Video inputs: 4"), 15, "Video inputs: 100000");
    huge.stream->greeting = announced;
    EXPECT_FALSE(huge.start());
    EXPECT_NE(huge.error.find("100000"), std::string::npos) << huge.error;
}

}  // namespace
}  // namespace zant::routers
