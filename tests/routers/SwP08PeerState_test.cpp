// The router-side peer core, fed a client's frames: what it sends back and to
// every client, in order, for each way of behaving it offers.
#include "peers/swp08/SwP08PeerState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/routers/SwP08TestBytes.h"

namespace {

using zant::routers::testing::operator+;
using zant::routers::SwP08Frame;
using zant::routers::SwP08Message;
using zant::routers::SwP08PeerOptions;
using zant::routers::SwP08PeerState;
using Bytes = SwP08Frame::Bytes;
using Kind = SwP08Message::Kind;

std::string describe(const Bytes& data) {
    SwP08Message m;
    if (SwP08Message::decode(data, m) != SwP08Message::Decoded::ok) return "undecodable";
    const std::string ext = m.extended ? "+" : "";
    const std::string at = " l" + std::to_string(m.level) + " d" + std::to_string(m.destination);
    switch (m.kind) {
        case Kind::tally:
            return "tally" + ext + at + "<" + std::to_string(m.source);
        case Kind::connected:
            return "connected" + ext + at + "<" + std::to_string(m.source);
        case Kind::protectTally:
            return "protectTally" + ext + at + " " + std::to_string(m.status);
        case Kind::protectConnected:
            return "protectConnected" + ext + at + " " + std::to_string(m.status);
        case Kind::protectDisconnected:
            return "protectDisconnected" + ext + at;
        case Kind::invalidMessage:
            return "invalid";
        case Kind::tallyDump:
            return "dump" + ext + " " + std::to_string(m.first) + "+" +
                   std::to_string(m.sources.size()) + " " + std::to_string(data[0]);
        case Kind::sourceNames:
        case Kind::destinationNames: {
            std::string text = (m.kind == Kind::sourceNames ? "sourceNames" : "destinationNames") +
                               ext + " " + std::to_string(m.first) + "+" +
                               std::to_string(m.names.size());
            if (m.names.size() == 1) text += " '" + m.names[0] + "'";
            return text;
        }
        default:
            return "request " + std::to_string(data[0]);
    }
}

// "ack; tally l0 d3<3 | all: connected l0 d5<1": the frames of each send.
std::string trace(const std::vector<SwP08PeerState::Send>& sends) {
    std::string text;
    for (const auto& send : sends) {
        if (!text.empty()) text += " | ";
        if (send.toAll) text += "all: ";
        SwP08Frame reader;
        std::vector<SwP08Frame::Event> events;
        reader.feed(send.bytes.data(), send.bytes.size(), events);
        std::string frames;
        for (const auto& event : events) {
            if (!frames.empty()) frames += "; ";
            switch (event.kind) {
                case SwP08Frame::Event::Kind::frame:
                    frames += describe(event.data);
                    break;
                case SwP08Frame::Event::Kind::malformed:
                    frames += "malformed";
                    break;
                case SwP08Frame::Event::Kind::ack:
                    frames += "ack";
                    break;
                case SwP08Frame::Event::Kind::nak:
                    frames += "nak";
                    break;
            }
        }
        text += frames;
    }
    return text;
}

Bytes frame(const std::vector<std::uint8_t>& data) {
    return SwP08Frame::encode(data);
}

std::vector<SwP08PeerState::Send> send(SwP08PeerState& peer, int client, const Bytes& bytes) {
    return peer.receive(client, bytes.data(), bytes.size());
}

SwP08PeerOptions with(void (*change)(SwP08PeerOptions&)) {
    SwP08PeerOptions options;
    change(options);
    return options;
}

struct ExchangeCase {
    const char* what;
    SwP08PeerOptions options;
    Bytes request;
    std::string answer;
};

TEST(SwP08PeerState, AnswersEachRequestAsConfigured) {
    const SwP08PeerOptions plain;
    const auto twoLevels = with([](SwP08PeerOptions& o) { o.levels = 2; });
    const auto wide = with([](SwP08PeerOptions& o) { o.destinations = 2000; });
    const auto named = with([](SwP08PeerOptions& o) {
        o.sources = 3;
        o.sourceNames = {"Camera one", "VT"};
    });
    const ExchangeCase cases[] = {
        {"interrogate", plain, frame({0x01, 0x00, 0x00, 0x03}), "ack; tally l0 d3<3"},
        {"answered with connected",
         with([](SwP08PeerOptions& o) { o.interrogateAnsweredWithConnected = true; }),
         frame({0x01, 0x00, 0x00, 0x03}), "ack; connected l0 d3<3"},
        {"reply before ack", with([](SwP08PeerOptions& o) { o.replyBeforeAck = true; }),
         frame({0x01, 0x00, 0x00, 0x03}), "tally l0 d3<3; ack"},
        {"no ack", with([](SwP08PeerOptions& o) { o.acknowledge = false; }),
         frame({0x01, 0x00, 0x00, 0x03}), "tally l0 d3<3"},
        {"no answer", with([](SwP08PeerOptions& o) { o.answer = false; }),
         frame({0x01, 0x00, 0x00, 0x03}), "ack"},
        {"extended as asked", plain, frame({0x81, 0x00, 0x00, 0x00, 0x03}), "ack; tally+ l0 d3<3"},
        {"always extended", with([](SwP08PeerOptions& o) { o.alwaysExtended = true; }),
         frame({0x01, 0x00, 0x00, 0x03}), "ack; tally+ l0 d3<3"},
        {"beyond 1023, extended", wide, frame({0x81, 0x00, 0x00, 0x07, 0xCF}),
         "ack; tally+ l0 d1999<0"},
        {"connect", plain, frame({0x02, 0x00, 0x00, 0x05, 0x01}), "ack | all: connected l0 d5<1"},
        {"connect on level 1", twoLevels, frame({0x02, 0x01, 0x00, 0x05, 0x01}),
         "ack | all: connected l1 d5<1"},
        {"destination out of range", plain, frame({0x01, 0x00, 0x00, 0x10}), "ack; invalid"},
        {"level out of range", plain, frame({0x01, 0x01, 0x00, 0x00}), "ack; invalid"},
        {"matrix not ours", plain, frame({0x01, 0x10, 0x00, 0x00}), "ack; invalid"},
        {"source out of range", plain, frame({0x02, 0x00, 0x00, 0x00, 0x10}), "ack; invalid"},
        {"too short", plain, frame({0x02, 0x00, 0x00}), "ack; invalid"},
        {"unknown command", plain, frame({0x78, 0x00}), "ack"},
        {"invalid message", plain, frame({0x63}), "ack"},
        {"a client's tally", plain, frame({0x03, 0x00, 0x00, 0x01, 0x01}), "ack"},
        {"bad checksum",
         plain,
         {0x10, 0x02, 0x01, 0x00, 0x00, 0x03, 0x04, 0x00, 0x10, 0x03},
         "nak"},
        {"two frames, one write", plain, frame({0x01, 0x00, 0x00, 0x01}) + frame({0x78}),
         "ack; tally l0 d1<1; ack"},
        {"dump", plain, frame({0x15, 0x00}), "ack; dump 0+16 22"},
        {"dump, extended", plain, frame({0x95, 0x00, 0x00}), "ack; dump+ 0+16 151"},
        {"dump as tallies", with([](SwP08PeerOptions& o) {
             o.dumpAsTallies = true;
             o.destinations = 2;
         }),
         frame({0x15, 0x00}), "ack; tally l0 d0<0; tally l0 d1<1"},
        {"dump over messages", with([](SwP08PeerOptions& o) { o.destinations = 200; }),
         frame({0x15, 0x00}), "ack; dump 0+64 22; dump 64+64 22; dump 128+64 22; dump 192+8 23"},
        {"all source names", named, frame({0x64, 0x00, 0x01}), "ack; sourceNames 0+3"},
        {"names one per reply", with([](SwP08PeerOptions& o) {
             o.sources = 2;
             o.names = SwP08PeerOptions::Names::onePerReply;
         }),
         frame({0x64, 0x00, 0x01}), "ack; sourceNames 0+1 'Source 1'; sourceNames 1+1 'Source 2'"},
        {"no names", with([](SwP08PeerOptions& o) { o.names = SwP08PeerOptions::Names::none; }),
         frame({0x64, 0x00, 0x01}), "ack"},
        {"one name, cut to its width", named, frame({0x65, 0x00, 0x01, 0x00, 0x00}),
         "ack; sourceNames 0+1 'Camera o'"},
        {"one name, 32 characters", named, frame({0x65, 0x00, 0x04, 0x00, 0x02}),
         "ack; sourceNames 2+1 'Source 3'"},
        {"a destination name, extended", plain, frame({0xE7, 0x00, 0x00, 0x01, 0x00, 0x0F}),
         "ack; destinationNames+ 15+1 'Destinat'"},
        {"32-character destination names, 4 to a reply", plain, frame({0x66, 0x00, 0x04}),
         "ack; destinationNames 0+4; destinationNames 4+4; destinationNames 8+4; "
         "destinationNames 12+4"},
        {"protect interrogate", plain, frame({0x0A, 0x00, 0x00, 0x02}),
         "ack; protectTally l0 d2 0"},
        {"protect", plain, frame({0x0C, 0x00, 0x00, 0x02}), "ack | all: protectConnected l0 d2 1"},
        {"unprotect", plain, frame({0x0E, 0x00, 0x00, 0x02}),
         "ack | all: protectDisconnected l0 d2"},
    };
    for (const ExchangeCase& c : cases) {
        SwP08PeerState peer(c.options);
        const int client = peer.connect();
        EXPECT_EQ(trace(send(peer, client, c.request)), c.answer) << c.what;
        // Byte by byte: the same, in the same order.
        SwP08PeerState again(c.options);
        const int other = again.connect();
        std::vector<SwP08PeerState::Send> sends;
        for (std::uint8_t byte : c.request) {
            for (auto& s : again.receive(other, &byte, 1)) {
                if (!sends.empty() && sends.back().toAll == s.toAll) {
                    sends.back().bytes.insert(sends.back().bytes.end(), s.bytes.begin(),
                                              s.bytes.end());
                } else {
                    sends.push_back(std::move(s));
                }
            }
        }
        EXPECT_EQ(trace(sends), c.answer) << c.what << ", byte by byte";
    }
}

TEST(SwP08PeerState, AProtectedDestinationKeepsItsRouteAndOnlyRemoteProtectsChangeRemotely) {
    SwP08PeerOptions options;
    options.levels = 2;
    SwP08PeerState peer(options);
    const int client = peer.connect();
    EXPECT_EQ(trace({{true, peer.setProtect(1, 5, SwP08Message::protectedFixed)}}),
              "all: protectConnected l1 d5 2");
    EXPECT_EQ(trace(send(peer, client, frame({0x02, 0x01, 0x00, 0x05, 0x01}))),
              "ack; connected l1 d5<5");
    EXPECT_EQ(peer.routeOf(1, 5), 5);
    EXPECT_EQ(trace(send(peer, client, frame({0x0E, 0x01, 0x00, 0x05}))),
              "ack; protectConnected l1 d5 2")
        << "a fixed protect stays";
    EXPECT_EQ(trace(send(peer, client, frame({0x02, 0x00, 0x00, 0x05, 0x01}))),
              "ack | all: connected l0 d5<1")
        << "level 0 is not protected";
    EXPECT_EQ(peer.routeOf(0, 5), 1);
    EXPECT_EQ(peer.routeOf(1, 5), 5);
    EXPECT_EQ(trace({{true, peer.setProtect(1, 5, SwP08Message::unprotected)}}),
              "all: protectDisconnected l1 d5");
    EXPECT_TRUE(peer.setProtect(2, 5, 1).empty());
    EXPECT_TRUE(peer.setProtect(0, 5, 4).empty());
    EXPECT_TRUE(peer.route(0, 16, 0).empty());
    EXPECT_TRUE(peer.route(0, 0, 16).empty());
}

// What a client does not ACK stays for resending, one frame at a time; a NAK
// brings the oldest again at once.
TEST(SwP08PeerState, KeepsEachClientsUnacknowledgedFramesForResending) {
    SwP08PeerState peer;
    const int first = peer.connect();
    const int second = peer.connect();
    const Bytes routed = peer.route(0, 3, 7);
    EXPECT_EQ(peer.resend(first), routed);
    EXPECT_EQ(peer.resend(second), routed);
    EXPECT_EQ(trace(send(peer, first, frame({0x01, 0x00, 0x00, 0x04}))), "ack; tally l0 d4<4");
    EXPECT_EQ(trace(send(peer, first, SwP08Frame::nak())), "connected l0 d3<7");
    EXPECT_TRUE(send(peer, first, SwP08Frame::ack()).empty());
    EXPECT_EQ(trace({{false, peer.resend(first)}}), "tally l0 d4<4");
    send(peer, first, SwP08Frame::ack());
    EXPECT_TRUE(peer.resend(first).empty());
    EXPECT_EQ(peer.resend(second), routed) << "the other client has not ACKed";
    peer.disconnect(second);
    EXPECT_TRUE(peer.resend(second).empty());
    EXPECT_TRUE(send(peer, second, frame({0x01, 0x00, 0x00, 0x04})).empty());

    for (int i = 0; i < 100; ++i) peer.route(0, 3, i % 16);
    int resent = 0;
    for (; !peer.resend(first).empty(); ++resent) send(peer, first, SwP08Frame::ack());
    EXPECT_EQ(resent, static_cast<int>(SwP08PeerState::maxUnacknowledged));
}

TEST(SwP08PeerState, RecordsWhatClientsSentAndCountsMalformedFrames) {
    SwP08PeerState peer;
    const int client = peer.connect();
    send(peer, client, frame({0x01, 0x00, 0x00, 0x04}) + Bytes{0x10, 0x02, 0x10, 0x03});
    ASSERT_EQ(peer.received().size(), 1u);
    EXPECT_EQ(peer.received()[0].client, client);
    EXPECT_EQ(peer.received()[0].data, (Bytes{0x01, 0x00, 0x00, 0x04}));
    EXPECT_EQ(peer.malformedFrames(), 1u);
    EXPECT_EQ(peer.sourceName(0), "Source 1");
    EXPECT_EQ(peer.destinationName(15), "Destination 16");
    EXPECT_EQ(peer.destinationName(16), "");
}

}  // namespace
