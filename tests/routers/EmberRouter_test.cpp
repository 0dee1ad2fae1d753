// An Ember+ matrix through the factory, the link and the router on the
// network, over a connection whose other end is the provider's state and
// whose bytes arrive in small pieces, on a clock the test moves: a Take
// settled by the provider's report, pending then done, locked refused,
// and a silent provider found by the keep-alive.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "peers/ember/EmberProviderState.h"
#include "routers/RouterFactory.h"
#include "tests/routers/RouterRig.h"

namespace zant::routers {
namespace {

// The rig of the routers' tests with an Ember+ matrix: the provider's state
// answers what the link writes, its bytes read 7 at a time.
struct EmberRig : Rig {
    explicit EmberRig(EmberProviderOptions options)
        : Rig(RouterFactory::builtIn(), "ember://10.0.0.1/router.video"),
          provider(std::move(options)) {
        consumer = provider.connect();
        stream->greeting.clear();
        stream->pieces = 7;
    }
    // What the link wrote goes to the provider; its answers are said back.
    void relay() {
        const std::string bytes = stream->written.substr(relayed);
        relayed = stream->written.size();
        say(provider.receive(consumer, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             bytes.size()));
    }
    void say(const EmberProviderState::Sends& sends) {
        for (const EmberProviderState::Send& send : sends) {
            if (send.consumer == consumer) stream->say({send.bytes.begin(), send.bytes.end()});
        }
    }
    // The provider answers each step of the walk as the link turns; then
    // the start finds the dump complete.
    bool start() {
        turn(400);
        Router::News more;
        return router->start(5000, more, error, {});
    }
    void turn(int turns = 40) {
        for (int i = 0; i < turns; ++i) {
            link->turn(0);
            relay();
            router->takeIn(news);
        }
    }
    std::vector<std::string> notes() const {
        std::vector<std::string> said;
        for (const RouterNews& each : news.said) {
            if (!each.error()) said.push_back(each.sentence(router->title()));
        }
        return said;
    }

    EmberProviderState provider;
    int consumer = 0;
    size_t relayed = 0;
};

EmberProviderOptions fourByFour() {
    EmberProviderOptions options;
    options.targets = 4;
    options.sources = 4;
    options.sourceLabels = {"Cam 1", "Cam 2"};
    return options;
}

TEST(EmberRouter, ATakeIsSettledByTheProvidersReport) {
    EmberRig rig(fourByFour());
    ASSERT_TRUE(rig.start()) << rig.error;
    EXPECT_EQ(rig.router->destinations(), 4);
    std::string name;
    ASSERT_TRUE(rig.router->name(Side::source, 2, name));
    EXPECT_EQ(name, "Cam 2");
    rig.router->connect(3, 2);
    EXPECT_FALSE(rig.router->settled());
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 3);
    EXPECT_EQ(rig.provider.routeOf(1), 2);
    EXPECT_TRUE(rig.errors().empty());
    EXPECT_EQ(rig.notes(),
              (std::vector<std::string>{"router 12 (ember://10.0.0.1:9000) is a one-to-N matrix"}));
}

TEST(EmberRouter, PendingIsShownAndWaitedForLockedIsRefused) {
    EmberProviderOptions options = fourByFour();
    options.pendingFirst = true;
    EmberRig rig(options);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(1, 3);
    rig.turn();
    EXPECT_FALSE(rig.router->settled());
    EXPECT_EQ(rig.router->source(3), 3);
    rig.say(rig.provider.settle());
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(3), 1);

    rig.provider.setLocked(3, true);
    rig.router->connect(2, 4);
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(4), 4);
    EXPECT_EQ(rig.errors(),
              (std::vector<std::string>{
                  "router 12 (ember://10.0.0.1:9000) refused route source 2 -> destination 4 "
                  "(locked: target 3 of the matrix is locked on the provider); destination 4 "
                  "carries source 4"}));
    const std::vector<std::string> notes = rig.notes();
    ASSERT_EQ(notes.size(), 2U);
    EXPECT_EQ(notes[1],
              "router 12 (ember://10.0.0.1:9000) will carry out route source 1 -> destination 3 "
              "later (pending)");
}

// Pending that never comes true fails at the deadline, with a line that
// says the provider answered pending (it acknowledges nothing).
TEST(EmberRouter, PendingThatNeverComesTrueFailsAtTheDeadline) {
    EmberProviderOptions options = fourByFour();
    options.pendingFirst = true;
    EmberRig rig(options);
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(1, 3);
    rig.turn();
    rig.clock.advance(2000);
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.errors(), (std::vector<std::string>{
                                "router 12 (ember://10.0.0.1:9000) answered route source 1 -> "
                                "destination 3 as pending but did not report it done within 2000 "
                                "ms; destination 3 carries source 3 as the router last reported"}));
}

// The provider's answer is the new state: another source than the one
// asked is an error line, and the picture keeps what was reported.
TEST(EmberRouter, AnAnswerWithAnotherSourceIsAnError) {
    EmberRig rig(fourByFour());
    ASSERT_TRUE(rig.start()) << rig.error;
    rig.router->connect(3, 2);
    rig.link->turn(0);  // the request goes out; the provider's answer is replaced
    rig.relayed = rig.stream->written.size();
    rig.say(rig.provider.route(1, 0));
    rig.turn();
    EXPECT_TRUE(rig.router->settled());
    EXPECT_EQ(rig.router->source(2), 1);
    EXPECT_EQ(rig.errors(),
              (std::vector<std::string>{"router 12 (ember://10.0.0.1:9000) answered route source 3 "
                                        "-> destination 2 with destination 2 carrying source 1"}));
}

TEST(EmberRouter, ASilentProviderIsFoundByTheKeepAlive) {
    EmberRig rig(fourByFour());
    ASSERT_TRUE(rig.start()) << rig.error;
    const LinkTiming timing;
    rig.clock.advance(timing.quietMs);
    rig.link->turn(0);
    EXPECT_NE(rig.stream->written.find("\xFE\x00\x0E\x01\x01", 0, 5), std::string::npos);
    rig.clock.advance(timing.answerMs);
    rig.link->turn(0);
    rig.router->takeIn(rig.news);
    const std::vector<std::string> errors = rig.errors();
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find("no answer to keep-alive within"), std::string::npos) << errors[0];
}

}  // namespace
}  // namespace zant::routers
