// The Ember+ provider on the loopback, driven by the router on the network
// as panel_host drives it: answers written a few bytes at a time and pending
// first still settle a Take; consumers dropped by the provider come back
// with what changed meanwhile.
#include "peers/ember/EmberPeer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "routers/NetworkRouter.h"
#include "routers/RouterFactory.h"

namespace zant::routers {
namespace {

struct PeerRig {
    explicit PeerRig(EmberPeerOptions options) : peer(std::move(options)) {
        EXPECT_TRUE(peer.start(error)) << error;
        const RouterFactory factory = RouterFactory::builtIn();
        RouterAddress where;
        EXPECT_TRUE(factory.parse("ember://127.0.0.1:" + std::to_string(peer.port()) + "/1.1",
                                  where, error));
        router = factory.router(12, where, {}, error);
    }
    // Takes in what the router has until `done`, for at most 5 s.
    bool until(const std::function<bool()>& done) {
        for (int turns = 0; turns < 250; ++turns) {
            router->takeIn(news);
            if (done()) return true;
            router->waitForNews(20);
        }
        return false;
    }
    bool said(RouterNews::Kind kind) const {
        for (const RouterNews& each : news.said) {
            if (each.kind == kind) return true;
        }
        return false;
    }

    EmberPeer peer;
    std::unique_ptr<Router> router;
    Router::News news;
    std::string error;
};

TEST(EmberPeer, SlowPartialPendingAnswersSettleATake) {
    EmberPeerOptions options;
    options.provider.targets = 6;
    options.provider.sources = 5;
    options.provider.pendingFirst = true;
    options.writeChunk = 3;
    PeerRig rig(options);
    ASSERT_TRUE(rig.router->start(5000, rig.news, rig.error, {})) << rig.error;
    EXPECT_EQ(rig.router->destinations(), 6);
    EXPECT_EQ(rig.router->sources(), 5);
    rig.router->connect(4, 2);
    ASSERT_TRUE(rig.until([&] { return rig.router->settled(); }));
    EXPECT_EQ(rig.router->source(2), 4);
    EXPECT_EQ(rig.peer.routeOf(1), 3);
    EXPECT_TRUE(rig.said(RouterNews::Kind::pending));
}

TEST(EmberPeer, ADroppedConsumerComesBackWithWhatChangedMeanwhile) {
    PeerRig rig(EmberPeerOptions{});
    ASSERT_TRUE(rig.router->start(5000, rig.news, rig.error, {})) << rig.error;
    rig.peer.disconnectAll();
    ASSERT_TRUE(rig.until([&] { return rig.said(RouterNews::Kind::lost); }));
    rig.peer.route(3, 0);
    // Connected again once the new start is complete, with the route made
    // meanwhile.
    ASSERT_TRUE(rig.until([&] { return rig.said(RouterNews::Kind::connectedAgain); }));
    EXPECT_EQ(rig.router->source(4), 1);
}

}  // namespace
}  // namespace zant::routers
