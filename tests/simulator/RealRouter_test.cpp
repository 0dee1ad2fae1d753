// panel_host's simulation against a router peer on the loopback that speaks
// the Videohub Ethernet protocol: names and sizes come from the router, Take
// and Undo change its routing, another client's route reaches the component,
// and what the router refuses, never reports or loses is an error line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "peers/videohub/VideohubPeer.h"
#include "simulator/Simulator.h"
#include "simulator/StepParser.h"

namespace zant::simulator {

namespace {

using zant::simulator::Router;
using zant::videohub::PeerOptions;
using zant::videohub::VideohubPeer;

// Labels the installation's own router file does not have.
PeerOptions studioRouter() {
    PeerOptions options;
    options.inputs = 20;
    options.outputs = 24;
    for (int i = 1; i <= options.inputs; ++i)
        options.inputLabels.push_back("Cam " + std::to_string(i));
    for (int i = 1; i <= options.outputs; ++i)
        options.outputLabels.push_back("Mon " + std::to_string(i));
    return options;
}

class RealRouterTest : public testing::Test {
protected:
    // Device 12 ("studioA") of the example installation is the peer.
    void start(const PeerOptions& options) {
        peer = std::make_unique<VideohubPeer>(options);
        std::string error;
        ASSERT_TRUE(peer->start(error)) << error;
        config.library = PANEL_HOST_LIBRARY;
        config.componentPath = PANEL_HOST_COMPONENT_PATH;
        config.root = PANEL_HOST_EXAMPLES "/installation";
        config.system = "main";
        ASSERT_TRUE(config.messages.load(config.componentPath, config.library, error)) << error;
        config.routers = {{12, {"videohub", "127.0.0.1", peer->port(), {}, {}}}};
        config.routerDeadlineMs = PANEL_HOST_ROUTER_DEADLINE_MS;
        simulator = std::make_unique<Simulator>(config, out);
        ASSERT_TRUE(simulator->start(error)) << error;
    }

    void steps(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            Step step;
            bool empty = false;
            std::string error;
            ASSERT_TRUE(StepParser::parse(line, "test:" + std::to_string(++number), false,
                                          config.messages, step, empty, error))
                << error;
            simulator->run(step);
        }
    }

    // Takes in the router's news until `done`, at most 10 s.
    bool eventually(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            simulator->takeInRouters(true);
        }
        return true;
    }
    bool traced(const std::string& text) {
        return eventually([&] { return out.str().find(text) != std::string::npos; });
    }

    std::unique_ptr<VideohubPeer> peer;
    SimulationConfig config;
    std::ostringstream out;
    std::unique_ptr<Simulator> simulator;
    int number = 0;
};

TEST_F(RealRouterTest, NamesSizesTakeUndoAndAnotherClientsRoute) {
    start(studioRouter());
    steps({"message instance=studioA",
           // The device file the component reads gives the router's outputs.
           "expect command RR 12 1 24", "message sourceID=3", "expect control Source text Cam 3"});
    // Another client routes input 5 (index 4) to output 8 (index 7).
    ASSERT_TRUE(peer->route(7, 4));
    ASSERT_TRUE(traced("revertive of device 12: destination 8 carries source 5")) << out.str();
    steps({"message destID=8", "expect control Dest text Mon 8", "doublepress Take",
           "expect route 12 3 8", "expect control UndoSource text Cam 5"});
    EXPECT_EQ(peer->routeOf(7), 2);
    steps({"press Undo", "expect route 12 5 8"});
    EXPECT_EQ(peer->routeOf(7), 4);
    EXPECT_EQ(simulator->failures(), 0) << out.str();
}

TEST_F(RealRouterTest, ALockedOutputIsRefusedAndKeepsItsRoute) {
    start(studioRouter());
    ASSERT_TRUE(peer->lockByOther(9));
    Router* router = simulator->world().installation().router(12);
    ASSERT_TRUE(eventually([&] { return router->lock(10) == routers::Lock::theirs; }));
    steps({"message instance=studioA", "message sourceID=2", "message destID=10",
           "doublepress Take"});
    EXPECT_NE(
        out.str().find("error: router 12 (videohub://127.0.0.1:" + std::to_string(peer->port()) +
                       ") refused route source 2 -> destination 10 (NAK): destination 10 is "
                       "locked by another client; destination 10 carries source 10"),
        std::string::npos)
        << out.str();
    EXPECT_EQ(peer->routeOf(9), 9);
    EXPECT_EQ(router->source(10), 10);
    EXPECT_EQ(simulator->failures(), 1);
}

TEST_F(RealRouterTest, ARouteAcknowledgedButNeverReportedFailsAtTheDeadline) {
    PeerOptions options = studioRouter();
    options.reportRoutes = false;
    start(options);
    steps(
        {"message instance=studioA", "message sourceID=3", "message destID=8", "doublepress Take"});
    EXPECT_NE(out.str().find("acknowledged route source 3 -> destination 8 but did not report it "
                             "within " +
                             std::to_string(PANEL_HOST_ROUTER_DEADLINE_MS) +
                             " ms; destination 8 carries source 8 as the router last reported"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(simulator->failures(), 1);
}

// A lost connection is an error line; the new dump brings what changed
// meanwhile, as revertives.
TEST_F(RealRouterTest, ALostConnectionComesBackWithWhatChangedMeanwhile) {
    const struct {
        const char* name;
        std::function<void(VideohubPeer&)> lose;
        std::function<void(VideohubPeer&)> restore;
        const char* why;
    } cases[] = {
        {"closed", [](VideohubPeer& p) { p.disconnectAll(); }, [](VideohubPeer&) {},
         "connection lost: connection closed by the peer"},
        {"silent", [](VideohubPeer& p) { p.setSilent(true); },
         [](VideohubPeer& p) { p.setSilent(false); }, "connection lost: no answer to PING"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        out.str("");
        start(studioRouter());
        steps({"message instance=studioA"});
        c.lose(*peer);
        ASSERT_TRUE(traced(c.why)) << out.str();
        ASSERT_TRUE(peer->route(3, 0));
        c.restore(*peer);
        ASSERT_TRUE(traced("connected again")) << out.str();
        ASSERT_TRUE(traced("revertive of device 12: destination 4 carries source 1")) << out.str();
        steps({"expect route 12 1 4"});
        EXPECT_EQ(simulator->failures(), 1) << out.str();
        simulator.reset();
    }
}

TEST_F(RealRouterTest, OneRequestOnTheWireAtATime) {
    PeerOptions options = studioRouter();
    options.answerDelayMs = 20;
    start(options);
    std::string error;
    for (int destination = 1; destination <= 4; ++destination) {
        ASSERT_TRUE(simulator->world().connect(12, 5, destination, error)) << error;
    }
    steps({"note the routes settle"});
    ASSERT_EQ(peer->requests().size(), 4u);
    for (const auto& request : peer->requests()) EXPECT_EQ(request.unanswered, 1) << request.text;
    for (int output = 0; output < 4; ++output) EXPECT_EQ(peer->routeOf(output), 4);
}

// A burst of routing blocks that arrives while the simulation does not take
// them in: merged per destination, never dropped, so every run ends with the
// router's last routes, no error, and a trace whose size does not grow with
// the burst.
TEST_F(RealRouterTest, ABurstOfRoutesEndsTheSameWayEveryRun) {
    // ZANT_BURST_RUNS=20 repeats it as often as one would to trust it; the
    // suite's default keeps it short, and valgrind's run (ZANT_BURST_BLOCKS)
    // shorter still, though beyond what the link merges.
    const auto setting = [](const char* name, int otherwise) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::max(1, static_cast<int>(std::strtol(value, nullptr, 10)))
                                : otherwise;
    };
    const int runs = setting("ZANT_BURST_RUNS", 2);
    const int blocks = setting("ZANT_BURST_BLOCKS", 200000);
    constexpr int outputs = 24;
    constexpr int inputs = 20;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        simulator.reset();
        out.str("");
        start(studioRouter());
        steps({"message instance=studioA"});
        const size_t traceBefore = out.str().size();
        for (int i = 0; i < blocks; ++i)
            ASSERT_TRUE(peer->route(i % outputs, (i / outputs) % inputs));
        Router* router = simulator->world().installation().router(12);
        const auto lastSource = [blocks](int output) {
            const int last = (blocks - 1 - output) / outputs * outputs + output;
            return (last / outputs) % inputs + 1;
        };
        ASSERT_TRUE(eventually([&] {
            for (int output = 0; output < outputs; ++output) {
                if (router->source(output + 1) != lastSource(output)) return false;
            }
            return true;
        })) << out.str().substr(out.str().size() > 4000 ? out.str().size() - 4000 : 0);
        EXPECT_EQ(simulator->failures(), 0) << out.str().substr(0, 4000);
        EXPECT_LT(out.str().size() - traceBefore, 256u * 1024) << "the trace grows with the burst";
    }
}

// A router that writes a few bytes at a time: its blocks still arrive whole.
TEST_F(RealRouterTest, SlowPartialWritesGiveTheSameRouter) {
    PeerOptions options = studioRouter();
    options.writeChunk = 7;
    start(options);
    steps({"message instance=studioA", "expect command RR 12 1 24", "message sourceID=20",
           "expect control Source text Cam 20", "message destID=24", "doublepress Take",
           "expect route 12 20 24"});
    EXPECT_EQ(simulator->failures(), 0) << out.str();
}

// During run, another client's route reaches the component when it happens.
TEST_F(RealRouterTest, RunDeliversOtherClientsRoutesInRealTime) {
    start(studioRouter());
    steps({"message instance=studioA"});
    std::thread otherClient([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer->route(5, 0);
    });
    steps({"run 600ms"});
    otherClient.join();
    const std::string trace = out.str();
    const size_t run = trace.find("run 600 ms in real time");
    const size_t revertive = trace.find("revertive of device 12: destination 6 carries source 1");
    ASSERT_NE(run, std::string::npos) << trace;
    EXPECT_NE(revertive, std::string::npos) << trace;
    EXPECT_GT(revertive, run);
    EXPECT_EQ(trace.find("the routers report", run), std::string::npos) << trace;
}

TEST_F(RealRouterTest, ASizeChangeIsReported) {
    start(studioRouter());
    peer->resize(20, 30);
    ASSERT_TRUE(
        traced("now has 20 inputs and 30 outputs; the component's device file says 20 "
               "and 24: it no longer fits"))
        << out.str();
}

}  // namespace

}  // namespace zant::simulator
