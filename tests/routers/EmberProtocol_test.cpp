// The Ember+ matrix client against the provider's state, bytes whole and in
// pieces: the walk to the matrix, sizes, names and connections, routes
// answered modified, pending or locked, changes pushed unasked, non-linear
// numbering, keep-alives, and what bad input may and may not do.
#include "routers/EmberProtocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "peers/ember/EmberProviderState.h"
#include "routers/GlowReader.h"
#include "routers/GlowWriter.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"

namespace {

using zant::routers::EmberProtocol;
using zant::routers::EmberProviderOptions;
using zant::routers::EmberProviderState;
using zant::routers::GlowItem;
using zant::routers::GlowReader;
using zant::routers::GlowWriter;
using zant::routers::RouterUpdate;
using zant::routers::S101Frame;
using zant::routers::S101Message;
using zant::routers::Side;
using Bytes = std::vector<std::uint8_t>;
using Kind = RouterUpdate::Kind;

std::string text(const RouterUpdate& update) {
    switch (update.kind) {
        case Kind::sizes:
            return "sizes " + std::to_string(update.sources) + "x" +
                   std::to_string(update.destinations);
        case Kind::label:
            return std::string(update.side == Side::source ? "source " : "destination ") +
                   std::to_string(update.index) + " " + update.text;
        case Kind::route:
            return "route " + std::to_string(update.destination) + "<-" +
                   std::to_string(update.source);
        case Kind::lock:
            return "lock";
        case Kind::dumpComplete:
            return "dump complete";
        case Kind::answer:
            return "answer " + std::to_string(update.request) +
                   (update.done ? " done" : " refused") +
                   (update.text.empty() ? "" : ": " + update.text);
        case Kind::pending:
            return "pending " + std::to_string(update.request);
        case Kind::levels:
            return "levels " + std::to_string(update.destination);
        case Kind::note:
            return "note " + update.text;
        case Kind::ignored:
            return "ignored " + update.text;
        case Kind::fault:
            return "fault " + update.text;
    }
    return "?";
}

// The client and the provider's state joined in memory; the provider's bytes
// reach the client in pieces of `piece` bytes (0: whole).
struct Wire {
    explicit Wire(const std::string& matrix, EmberProviderOptions options = {}, size_t piece = 0)
        : protocol(steps(matrix)), provider(std::move(options)), piece(piece) {
        consumer = provider.connect();
        other = provider.connect();
    }

    static std::vector<std::string> steps(const std::string& matrix) {
        std::vector<std::string> parsed;
        EXPECT_TRUE(EmberProtocol::parsePath(matrix, parsed));
        return parsed;
    }

    // The provider's bytes to the client, and the client's answers back, until
    // neither has more to say; the client's updates, one line each.
    std::vector<std::string> deliver(EmberProviderState::Sends sends) {
        std::vector<std::string> lines;
        for (int round = 0; round < 32 && !sends.empty(); ++round) {
            std::string reply;
            for (const EmberProviderState::Send& send : sends) {
                if (send.consumer != consumer) continue;
                feed(send.bytes, lines, reply);
            }
            sends = toProvider(reply);
        }
        EXPECT_TRUE(sends.empty());
        return lines;
    }
    void feed(const Bytes& bytes, std::vector<std::string>& lines, std::string& reply) {
        const size_t step = piece == 0 ? bytes.size() : piece;
        for (size_t at = 0; at < bytes.size(); at += step) {
            std::vector<RouterUpdate> updates;
            const size_t size = std::min(step, bytes.size() - at);
            protocol.received(reinterpret_cast<const char*>(bytes.data() + at), size, updates,
                              reply);
            for (const RouterUpdate& update : updates) lines.push_back(text(update));
        }
    }
    EmberProviderState::Sends toProvider(const std::string& bytes) {
        return provider.receive(consumer, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                bytes.size());
    }
    std::vector<std::string> start() {
        std::string send;
        protocol.connected(send);
        return deliver(toProvider(send));
    }
    std::vector<std::string> route(int id, int destination, int source) {
        std::string send;
        protocol.route(id, destination, source, send);
        EXPECT_TRUE(protocol.awaitingAnswer());
        return deliver(toProvider(send));
    }

    EmberProtocol protocol;
    EmberProviderState provider;
    size_t piece;
    int consumer = 0;
    int other = 0;
};

EmberProviderOptions small() {
    EmberProviderOptions options;
    options.targets = 3;
    options.sources = 2;
    options.targetLabels = {"Mon 1"};
    options.sourceLabels = {"Cam 1", "Cam 2"};
    options.routes = {1, 0, 1};
    return options;
}

const std::vector<std::string> smallStart = {
    "sizes 2x3",
    "destination 1 Mon 1",
    "destination 2 Target 2",
    "destination 3 Target 3",
    "source 1 Cam 1",
    "source 2 Cam 2",
    "route 1<-2",
    "route 2<-1",
    "route 3<-2",
    "note is a one-to-N matrix",
    "dump complete",
};

TEST(EmberProtocol, StartsTheSameByIdentifiersOrNumbersWholeOrInPiecesNestedOrQualified) {
    struct Case {
        const char* matrix;
        size_t piece;
        GlowWriter::Form form;
        size_t packetData;
    };
    const Case cases[] = {
        {"router.video", 0, GlowWriter::Form::qualified, S101Message::defaultPacketData},
        {"1.1", 1, GlowWriter::Form::nested, S101Message::defaultPacketData},
        {"router.1", 7, GlowWriter::Form::nested, 5},
        {"1.video", 0, GlowWriter::Form::qualified, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.matrix);
        EmberProviderOptions options = small();
        options.form = c.form;
        options.packetData = c.packetData;
        Wire wire(c.matrix, options, c.piece);
        std::vector<std::string> lines = wire.start();
        // The order of labels and connections depends on how the answers
        // interleave; what arrives does not.
        std::sort(lines.begin(), lines.end());
        std::vector<std::string> expected = smallStart;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected);
        EXPECT_TRUE(wire.provider.subscribed(wire.consumer, EmberProviderState::matrixPath));
        EXPECT_FALSE(wire.protocol.midMessage());
        EXPECT_FALSE(wire.protocol.awaitingAnswer());
    }
}

TEST(EmberProtocol, RoutesAreAnsweredByTheProvidersReport) {
    {
        Wire wire("router.video", small(), 1);
        wire.start();
        EXPECT_EQ(wire.route(7, 2, 2), (std::vector<std::string>{"route 2<-2", "answer 7 done"}));
        EXPECT_EQ(wire.provider.routeOf(1), 1);
        EXPECT_FALSE(wire.protocol.awaitingAnswer());
        // Another consumer's change arrives unasked.
        EXPECT_EQ(wire.deliver(wire.provider.route(0, 0)),
                  (std::vector<std::string>{"route 1<-1"}));
        EXPECT_EQ(wire.deliver(wire.provider.setLabel(false, 1, "Replay")),
                  (std::vector<std::string>{"source 2 Replay"}));
    }
    {
        Wire wire("router.video", small());
        wire.start();
        wire.provider.setLocked(2, true);
        EXPECT_EQ(
            wire.route(8, 3, 1),
            (std::vector<std::string>{
                "route 3<-2",
                "answer 8 refused: locked: target 2 of the matrix is locked on the provider"}));
        EXPECT_EQ(wire.provider.routeOf(2), 1);
        EXPECT_FALSE(wire.protocol.awaitingAnswer());
    }
    {
        EmberProviderOptions options = small();
        options.pendingFirst = true;
        Wire wire("router.video", options);
        wire.start();
        EXPECT_EQ(wire.route(9, 1, 1), (std::vector<std::string>{"pending 9"}));
        EXPECT_FALSE(wire.protocol.awaitingAnswer());
        EXPECT_EQ(wire.deliver(wire.provider.settle()), (std::vector<std::string>{"route 1<-1"}));
    }
}

// A message of items as a provider would send it, framed.
Bytes message(const std::vector<GlowItem>& items) {
    return S101Message::encode(GlowWriter::encode(items, GlowWriter::Form::qualified));
}

std::vector<std::string> feed(EmberProtocol& protocol, const Bytes& bytes, std::string& reply) {
    std::vector<RouterUpdate> updates;
    protocol.received(reinterpret_cast<const char*>(bytes.data()), bytes.size(), updates, reply);
    std::vector<std::string> lines;
    lines.reserve(updates.size());
    for (const RouterUpdate& update : updates) lines.push_back(text(update));
    return lines;
}

// The Glow items of the client's bytes.
std::vector<GlowItem> sent(const std::string& bytes) {
    S101Frame frames;
    S101Message messages;
    std::vector<Bytes> payloads;
    frames.feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), payloads);
    S101Message::Read read;
    for (const Bytes& payload : payloads) messages.take(payload, read);
    std::vector<GlowItem> items;
    for (const Bytes& ber : read.messages) {
        for (GlowItem& item : GlowReader::read(ber).items) items.push_back(std::move(item));
    }
    return items;
}

TEST(EmberProtocol, NonLinearNumbersMapOntoOurIndicesInOrder) {
    EmberProtocol protocol({"5"});
    std::string reply;
    protocol.connected(reply);
    reply.clear();
    GlowItem matrix;
    matrix.kind = GlowItem::Kind::matrix;
    matrix.path = {5};
    matrix.identifier = "sparse";
    matrix.matrixType = GlowItem::nToN;
    matrix.addressingMode = GlowItem::nonLinear;
    matrix.targets = std::vector<std::uint32_t>{3, 5, 9};
    matrix.sources = std::vector<std::uint32_t>{10, 20};
    matrix.connections = {{5, {20}, GlowItem::absolute, GlowItem::tally},
                          {4, {20}, GlowItem::absolute, GlowItem::tally},
                          {9, {11}, GlowItem::absolute, GlowItem::tally}};
    const std::vector<std::string> lines = feed(protocol, message({matrix}), reply);
    ASSERT_GE(lines.size(), 6U);
    EXPECT_EQ(lines[0], "sizes 2x3");
    EXPECT_EQ(lines[1], "route 2<-2");
    EXPECT_EQ(lines[2], "ignored a connection of target 4, which the matrix does not have");
    EXPECT_EQ(lines[3], "ignored a connection of source 11, which the matrix does not have");
    EXPECT_EQ(lines[4],
              "note is a N-to-N matrix; non-linear: its targets 3, 5, 9 and sources 10, 20 are our "
              "1, 2, ... in order; routed one source a target, as reported");
    EXPECT_EQ(lines[5], "dump complete");

    std::string request;
    protocol.route(4, 3, 1, request);
    const std::vector<GlowItem> items = sent(request);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].path, (std::vector<std::uint32_t>{5}));
    ASSERT_EQ(items[0].connections.size(), 1U);
    EXPECT_EQ(items[0].connections[0].target, 9U);
    EXPECT_EQ(items[0].connections[0].sources, (std::vector<std::uint32_t>{10}));
    EXPECT_EQ(items[0].connections[0].operation, GlowItem::absolute);
}

TEST(EmberProtocol, AWalkThatFindsNoMatrixIsAFault) {
    struct Case {
        const char* matrix;
        const char* fault;
    };
    const Case cases[] = {
        // Not a fault: the step may come in a later message.
        {"router.audio",
         "ignored no 'audio' under 'router' among the children sent ('video', 'labels')"},
        {"router.labels", "fault has no matrix at 'router.labels': it is not a matrix"},
        {"router.video.1", "fault has no node at 'router.video', on the way to the matrix"},
    };
    for (const Case& c : cases) {
        Wire wire(c.matrix, small());
        const std::vector<std::string> lines = wire.start();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.fault);
    }
}

// Children that come one message each: the walk goes on when its next step
// comes, whatever came before it.
TEST(EmberProtocol, AWalkWaitsForChildrenInLaterMessages) {
    EmberProtocol protocol({"router", "video"});
    std::string reply;
    protocol.connected(reply);
    const auto child = [](std::vector<std::uint32_t> path, GlowItem::Kind kind, const char* name) {
        GlowItem item;
        item.kind = kind;
        item.path = std::move(path);
        item.identifier = name;
        return item;
    };
    const struct {
        GlowItem item;
        const char* note;  // nullptr: the walk goes one step further
    } steps[] = {
        {child({2}, GlowItem::Kind::node, "audio"),
         "ignored no 'router' under the root among the children sent ('audio')"},
        {child({1}, GlowItem::Kind::node, "router"), nullptr},
        {child({1, 2}, GlowItem::Kind::node, "labels"),
         "ignored no 'video' under 'router' among the children sent ('labels')"},
        {child({1, 1}, GlowItem::Kind::matrix, "video"), nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(*step.item.identifier);
        reply.clear();
        const std::vector<std::string> lines = feed(protocol, message({step.item}), reply);
        if (step.note != nullptr) {
            EXPECT_EQ(lines, std::vector<std::string>{step.note});
            EXPECT_TRUE(reply.empty());
        } else {
            EXPECT_TRUE(lines.empty());
            const std::vector<GlowItem> asked = sent(reply);
            ASSERT_FALSE(asked.empty());
            EXPECT_EQ(asked.back().path, step.item.path) << "getDirectory of what was reached";
        }
    }
}

TEST(EmberProtocol, KeepAlivesAreAnsweredAndAsked) {
    EmberProtocol protocol({"1", "1"});
    std::string reply;
    protocol.connected(reply);
    reply.clear();
    EXPECT_TRUE(feed(protocol, S101Message::keepAliveRequest(), reply).empty());
    const Bytes response = S101Message::keepAliveResponse();
    EXPECT_EQ(reply, std::string(response.begin(), response.end()));

    std::string ask;
    protocol.keepAlive(ask);
    const Bytes request = S101Message::keepAliveRequest();
    EXPECT_EQ(ask, std::string(request.begin(), request.end()));
    EXPECT_TRUE(protocol.awaitingAnswer());
    reply.clear();
    feed(protocol, response, reply);
    EXPECT_FALSE(protocol.awaitingAnswer());
    EXPECT_TRUE(reply.empty());
}

TEST(EmberProtocol, BadInputChangesNothing) {
    Wire wire("router.video", small());
    wire.start();
    GlowItem matrix;
    matrix.kind = GlowItem::Kind::matrix;
    matrix.path = EmberProviderState::matrixPath;
    matrix.targetCount = EmberProtocol::portLimit + 1;
    matrix.connections = {{7, {0}, GlowItem::absolute, GlowItem::tally}};
    std::string reply;
    const std::vector<std::string> lines = feed(wire.protocol, message({matrix}), reply);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "ignored a count of 16385 ports (most: 16384); the sizes stay as they were",
                  "ignored a connection of target 7, which the matrix does not have"}));

    // Sound frames around BER that is not: one line, nothing else.
    const Bytes garbage = S101Message::encode({0x60, 0x80, 0x6B, 0x05, 0x01});
    const std::vector<std::string> dropped = feed(wire.protocol, garbage, reply);
    ASSERT_EQ(dropped.size(), 1U);
    EXPECT_EQ(dropped[0].rfind("ignored ", 0), 0U);
    // A frame cut short by a new one, then a sound connection: the latter counts.
    Bytes cut = {S101Frame::bof, 0x00, 0x0E};
    GlowItem report;
    report.kind = GlowItem::Kind::matrix;
    report.path = EmberProviderState::matrixPath;
    report.connections = {{0, {0}, GlowItem::absolute, GlowItem::tally}};
    const Bytes sound = message({report});
    cut.insert(cut.end(), sound.begin(), sound.end());
    std::vector<std::string> after = feed(wire.protocol, cut, reply);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.back(), "route 1<-1");
    EXPECT_TRUE(reply.empty());
}

}  // namespace
