// Conversations with the provider's state as a matrix client holds them: the
// walk to the matrix and its labels, routes answered to the asker and pushed
// to the other subscribers, locked and pending answers, keep-alives.
#include "peers/ember/EmberProviderState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "routers/GlowReader.h"
#include "routers/GlowWriter.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"
#include "tests/routers/GlowText.h"

namespace {

using zant::routers::EmberProviderOptions;
using zant::routers::EmberProviderState;
using zant::routers::GlowItem;
using zant::routers::GlowReader;
using zant::routers::GlowWriter;
using zant::routers::S101Frame;
using zant::routers::S101Message;
using zant::routers::test::render;
using Bytes = std::vector<std::uint8_t>;
using Form = GlowWriter::Form;

// What each consumer received, one line an item, across all its messages.
std::map<int, std::vector<std::string>> decode(const EmberProviderState::Sends& sends) {
    std::map<int, std::vector<std::string>> lines;
    for (const EmberProviderState::Send& send : sends) {
        S101Frame frames;
        S101Message messages;
        std::vector<Bytes> payloads;
        frames.feed(send.bytes.data(), send.bytes.size(), payloads);
        EXPECT_FALSE(frames.midFrame());
        S101Message::Read read;
        for (const Bytes& payload : payloads) messages.take(payload, read);
        EXPECT_FALSE(messages.midMessage());
        for (const Bytes& ber : read.messages) {
            for (const std::string& line : render(GlowReader::read(ber))) {
                lines[send.consumer].push_back(line);
            }
        }
    }
    return lines;
}

// A consumer's message through the provider, fed one byte at a time.
EmberProviderState::Sends ask(EmberProviderState& provider, int consumer, const Bytes& ber) {
    const Bytes wire = S101Message::encode(ber);
    EmberProviderState::Sends sends;
    for (const std::uint8_t byte : wire) {
        for (EmberProviderState::Send& send : provider.receive(consumer, &byte, 1)) {
            sends.push_back(std::move(send));
        }
    }
    return sends;
}

Bytes route(std::uint32_t target, std::uint32_t source, Form form = Form::qualified) {
    return GlowWriter::connect(EmberProviderState::matrixPath,
                               {target, {source}, GlowItem::absolute, GlowItem::tally}, form);
}

TEST(EmberProviderState, AnswersTheWalkToTheMatrixAndItsLabels) {
    EmberProviderOptions options;
    options.targets = 3;
    options.sources = 2;
    options.targetLabels = {"Mon 1"};
    options.routes = {1, 9};
    const struct {
        std::vector<std::uint32_t> path;
        GlowItem::Kind kind;
        std::vector<std::string> lines;
    } walk[] = {
        {{}, GlowItem::Kind::node, {"node 1 id=router"}},
        {{1},
         GlowItem::Kind::node,
         {"matrix 1.1 id=video type=0 mode=0 targets=3 sources=2 label=1.2:Primary",
          "node 1.2 id=labels"}},
        {{1, 1},
         GlowItem::Kind::matrix,
         {"matrix 1.1 id=video type=0 mode=0 targets=3 sources=2 label=1.2:Primary "
          "conn=0<[1]op0d0 conn=1<[0]op0d0 conn=2<[0]op0d0"}},
        {{1, 2}, GlowItem::Kind::node, {"node 1.2.1 id=targets", "node 1.2.2 id=sources"}},
        {{1, 2, 1},
         GlowItem::Kind::node,
         {"parameter 1.2.1.0 id=t0 value='Mon 1'", "parameter 1.2.1.1 id=t1 value='Target 2'",
          "parameter 1.2.1.2 id=t2 value='Target 3'"}},
        {{1, 2, 2},
         GlowItem::Kind::node,
         {"parameter 1.2.2.0 id=s0 value='Source 1'", "parameter 1.2.2.1 id=s1 value='Source 2'"}},
    };
    // Asked in either form, answered in either form: the same items.
    for (const Form answers : {Form::qualified, Form::nested}) {
        options.form = answers;
        options.packetData = 16;  // every answer in several packets
        for (const Form asks : {Form::qualified, Form::nested}) {
            EmberProviderState provider(options);
            const int consumer = provider.connect();
            for (const auto& step : walk) {
                std::vector<std::string> lines =
                    decode(ask(provider, consumer,
                               GlowWriter::getDirectory(step.path, step.kind, asks)))[consumer];
                // The nested form's steps down hold nothing but their number.
                lines.erase(std::remove_if(lines.begin(), lines.end(),
                                           [](const std::string& line) {
                                               return std::count(line.begin(), line.end(), ' ') < 2;
                                           }),
                            lines.end());
                EXPECT_EQ(lines, step.lines);
            }
            EXPECT_TRUE(provider.takeProblems().empty());
            EXPECT_TRUE(provider.subscribed(consumer, EmberProviderState::matrixPath));
            EXPECT_TRUE(provider.subscribed(consumer, EmberProviderState::targetLabelsPath));
            EXPECT_FALSE(provider.subscribed(consumer, EmberProviderState::routerPath));
        }
    }
}

TEST(EmberProviderState, RoutesReportToTheAskerAndEverySubscriber) {
    EmberProviderOptions options;
    options.pendingFirst = false;
    struct Case {
        const char* name;
        bool locked;
        bool pendingFirst;
        std::vector<std::string> asker;    // the answer to the request
        std::vector<std::string> watcher;  // a subscribed other consumer
        std::vector<std::string> settled;  // to the asker after settle()
        int routeAfter;
    };
    const Case cases[] = {
        {"modified",
         false,
         false,
         {"matrix 1.1 conn=2<[5]op0d1"},
         {"matrix 1.1 conn=2<[5]op0d0"},
         {},
         5},
        {"locked", true, false, {"matrix 1.1 conn=2<[2]op0d3"}, {}, {}, 2},
        {"pending",
         false,
         true,
         {"matrix 1.1 conn=2<[5]op0d2"},
         {"matrix 1.1 conn=2<[5]op0d0"},
         {"matrix 1.1 conn=2<[5]op0d1"},
         5},
    };
    for (const Case& c : cases) {
        options.pendingFirst = c.pendingFirst;
        EmberProviderState provider(options);
        const int asker = provider.connect();
        const int watcher = provider.connect();
        const int stranger = provider.connect();  // never asked for the matrix
        ask(provider, watcher,
            GlowWriter::getDirectory(EmberProviderState::matrixPath, GlowItem::Kind::matrix,
                                     Form::nested));
        provider.setLocked(2, c.locked);
        auto lines = decode(ask(provider, asker, route(2, 5, Form::nested)));
        EXPECT_EQ(lines[asker], c.asker) << c.name;
        auto settled = decode(provider.settle());
        for (auto& [consumer, items] : settled) {
            lines[consumer].insert(lines[consumer].end(), items.begin(), items.end());
        }
        EXPECT_EQ(lines[watcher], c.watcher) << c.name;
        EXPECT_EQ(lines.count(stranger), 0u) << c.name;
        EXPECT_EQ(settled[asker], c.settled) << c.name;
        EXPECT_EQ(provider.routeOf(2), c.routeAfter) << c.name;
    }
}

TEST(EmberProviderState, ReportsItsOwnChangesToSubscribersOnly) {
    EmberProviderState provider;
    const int watcher = provider.connect();
    const int other = provider.connect();
    ask(provider, watcher,
        GlowWriter::getDirectory(EmberProviderState::matrixPath, GlowItem::Kind::matrix,
                                 Form::qualified));
    ask(provider, watcher,
        GlowWriter::getDirectory(EmberProviderState::sourceLabelsPath, GlowItem::Kind::node,
                                 Form::qualified));
    auto lines = decode(provider.route(7, 3));
    EXPECT_EQ(lines[watcher], std::vector<std::string>{"matrix 1.1 conn=7<[3]op0d0"});
    lines = decode(provider.setLabel(false, 3, "VT 4"));
    EXPECT_EQ(lines[watcher], std::vector<std::string>{"parameter 1.2.2.3 id=s3 value='VT 4'"});
    EXPECT_TRUE(decode(provider.setLabel(true, 3, "Mon")).empty());
    EXPECT_TRUE(provider.route(16, 0).empty());
    EXPECT_EQ(lines.count(other), 0u);
}

TEST(EmberProviderState, AnswersKeepAlivesAndIgnoresWhatItCannotHonour) {
    EmberProviderState provider;
    const int consumer = provider.connect();
    const Bytes request = S101Message::keepAliveRequest();
    const EmberProviderState::Sends sends =
        provider.receive(consumer, request.data(), request.size());
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].bytes, S101Message::keepAliveResponse());

    const struct {
        Bytes ber;
        std::string problem;
    } refused[] = {
        {route(16, 0), "a connection to target 16, which is not here, was ignored"},
        {route(0, 16), "a connection other than one known source, absolute, was ignored"},
        {GlowWriter::connect({1, 1}, {0, {}, GlowItem::absolute, GlowItem::tally}, Form::qualified),
         "a connection other than one known source, absolute, was ignored"},
        {GlowWriter::connect({1, 9}, {0, {1}, GlowItem::absolute, GlowItem::tally},
                             Form::qualified),
         "connections for a matrix that is not here were ignored"},
        {GlowWriter::getDirectory({1, 7}, GlowItem::Kind::node, Form::nested),
         "getDirectory of an unknown path was ignored"},
        {Bytes{0x60, 0x03, 0x6B}, "a malformed message was dropped"},
    };
    for (const auto& c : refused) {
        EXPECT_TRUE(ask(provider, consumer, c.ber).empty()) << c.problem;
        EXPECT_EQ(provider.takeProblems(), std::vector<std::string>{c.problem});
    }
    EXPECT_EQ(provider.routeOf(0), 0);
    provider.disconnect(consumer);
    EXPECT_TRUE(provider.receive(consumer, request.data(), request.size()).empty());
}

}  // namespace
