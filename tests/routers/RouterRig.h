// A Videohub router on the network for the routers' tests: its link turned
// by the test over a FaultStream, on the test's clock, and the dump of a small
// router it greets with.
#ifndef TESTS_ROUTERS_ROUTER_RIG_H
#define TESTS_ROUTERS_ROUTER_RIG_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"
#include "routers/RouterLink.h"
#include "tests/routers/FaultStream.h"
#include "tests/routers/ManualClock.h"

namespace zant::routers {

// 4 x 4; destination N carries source N, destination 4 locked by another.
inline std::string dump(int sourceOfTwo = 2) {
    return "PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n"
           "Video inputs: 4\nVideo outputs: 4\n\nINPUT LABELS:\n0 A\n1 B\n2 C\n3 D\n\n"
           "OUTPUT LABELS:\n0 W\n1 X\n2 Y\n3 Z\n\nVIDEO OUTPUT LOCKS:\n0 U\n1 U\n2 U\n3 L\n\n"
           "VIDEO OUTPUT ROUTING:\n0 0\n1 " +
           std::to_string(sourceOfTwo - 1) + "\n2 2\n3 3\n\n";
}

// The Take of source 3 to destination 2, as the wire carries it.
inline const std::string takeRequest = "VIDEO OUTPUT ROUTING:\n1 2\n\n";
inline const std::string takeReply = "ACK\n\nVIDEO OUTPUT ROUTING:\n1 2\n\n";

inline size_t count(const std::string& text, const std::string& what) {
    size_t found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++found;
    }
    return found;
}

// A router on the network whose link the test turns, over a FaultStream.
struct Rig {
    explicit Rig(const RouterFactory& factory = RouterFactory::builtIn(),
                 const std::string& address = "videohub://10.0.0.1", int deadlineMs = 2000) {
        RouterAddress where;
        EXPECT_TRUE(factory.parse(address, where, error)) << error;
        auto owned = std::make_unique<FaultStream>(clock);
        stream = owned.get();
        stream->greeting = dump();
        RouterFactory::Settings settings;
        settings.clock = &clock;
        settings.deadlineMs = deadlineMs;
        std::unique_ptr<Router> made = factory.router(12, where, settings, error, std::move(owned));
        EXPECT_NE(made, nullptr) << error;
        router.reset(static_cast<NetworkRouter*>(made.release()));
        link = &router->turnByHand();
    }
    bool start() {
        Router::News news;
        return router->start(5000, news, error, {});
    }
    // Turns the link `turns` times, taking in after each.
    void turn(int turns = 3) {
        for (int i = 0; i < turns; ++i) {
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
    FaultStream* stream = nullptr;
    std::unique_ptr<NetworkRouter> router;
    RouterLink* link = nullptr;
    Router::News news;
    std::string error;
};

// Turns the link through its connect attempts, checking that each comes
// 0.25, 0.5, 1, 2, 4, 4 s after the one before and not a millisecond
// earlier, turning it `turnsAfterAttempt` more times after each (the drop
// of a router that accepts). The events of the whole outage, in order.
inline std::vector<RouterLink::Event> expectBackoff(Rig& rig, int turnsAfterAttempt = 0) {
    std::vector<RouterLink::Event> events;
    const int64_t waits[] = {0, 250, 500, 1000, 2000, 4000, 4000};
    for (const int64_t wait : waits) {
        const int attempts = rig.stream->attempts;
        rig.clock.advance(wait - (wait > 0 ? 1 : 0));
        rig.link->turn(0);
        if (wait > 0) {
            EXPECT_EQ(rig.stream->attempts, attempts) << "too early after " << wait;
            rig.clock.advance(1);
            rig.link->turn(0);
        }
        EXPECT_EQ(rig.stream->attempts, attempts + 1) << "after " << wait;
        for (int turn = 0; turn < turnsAfterAttempt; ++turn) rig.link->turn(0);
        for (RouterLink::Event& event : rig.link->take()) events.push_back(std::move(event));
    }
    return events;
}

}  // namespace zant::routers

#endif  // TESTS_ROUTERS_ROUTER_RIG_H
