// The router peer through a raw client: the dump, the answers to requests
// and the change reports, as the protocol has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

#include "peers/videohub/VideohubPeer.h"
#include "platform/TcpStream.h"

namespace {

using zant::platform::TcpStream;
using zant::videohub::PeerOptions;
using zant::videohub::VideohubPeer;

constexpr int patience = 5000;
const std::string ping = "PING:\n\n";

// A client that reads whole blocks, as text up to and with the blank line.
class RawClient {
public:
    explicit RawClient(const VideohubPeer& peer) {
        std::string error;
        EXPECT_TRUE(stream_.connect("127.0.0.1", peer.port(), patience, error)) << error;
    }

    // The next block; empty when none came in time or the peer closed.
    std::string block(int timeoutMs = patience) {
        char buffer[4096];
        std::string error;
        for (;;) {
            const size_t end = pending_.find("\n\n");
            if (end != std::string::npos) {
                std::string block = pending_.substr(0, end + 2);
                pending_.erase(0, end + 2);
                return block;
            }
            size_t got = 0;
            if (stream_.receive(buffer, sizeof buffer, timeoutMs, got, error) !=
                TcpStream::Received::data) {
                return {};
            }
            pending_.append(buffer, got);
        }
    }

    std::string dump() {
        std::string text;
        for (std::string next = block(); !next.empty(); next = block()) {
            text += next;
            if (next == "END PRELUDE:\n\n") break;
        }
        return text;
    }

    void send(const std::string& text) {
        std::string error;
        EXPECT_TRUE(stream_.send(text, patience, error)) << error;
    }

    // What arrives for `text` followed by a PING, up to the PING's ACK: the
    // answer and every change it brought (the peer handles one request
    // after the other, and a client's blocks in order).
    std::string exchange(const std::string& text) {
        send(text + ping);
        std::string received;
        int answers = text.empty() ? 1 : 2;
        while (answers > 0) {
            const std::string next = block();
            if (next.empty()) return received + "(nothing more)";
            if (next == "ACK\n\n" || next == "NAK\n\n") --answers;
            if (answers > 0) received += next;
        }
        return received;
    }

    bool closed() {
        char buffer[4096];
        size_t got = 0;
        std::string error;
        while (stream_.receive(buffer, sizeof buffer, patience, got, error) ==
               TcpStream::Received::data) {
        }
        return !stream_.open();
    }

private:
    TcpStream stream_;
    std::string pending_;
};

void start(VideohubPeer& peer) {
    std::string error;
    ASSERT_TRUE(peer.start(error)) << error;
}

PeerOptions small() {
    PeerOptions options;
    options.inputs = 3;
    options.outputs = 2;
    options.inputLabels = {"CAM 1", "CAM 2 Jib"};
    options.routes = {2};
    return options;
}

const char* const smallDump =
    "PROTOCOL PREAMBLE:\nVersion: 2.8\n\n"
    "VIDEOHUB DEVICE:\nDevice present: true\nModel name: Test Router\n"
    "Friendly name: Test Router\nUnique ID: A1B2C3D4E5F6\nVideo inputs: 3\n"
    "Video processing units: 0\nVideo outputs: 2\nVideo monitoring outputs: 0\n"
    "Serial ports: 0\n\n"
    "INPUT LABELS:\n0 CAM 1\n1 CAM 2 Jib\n2 Input 3\n\n"
    "OUTPUT LABELS:\n0 Output 1\n1 Output 2\n\n"
    "VIDEO OUTPUT LOCKS:\n0 U\n1 L\n\n"
    "VIDEO OUTPUT ROUTING:\n0 2\n1 1\n\n"
    "END PRELUDE:\n\n";

TEST(VideohubPeer, DumpOnConnect) {
    VideohubPeer peer(small());
    peer.lockByOther(1);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient client(peer);
    EXPECT_EQ(client.dump(), smallDump);
}

TEST(VideohubPeer, SlowPartialWritesStillDeliverTheDump) {
    PeerOptions options = small();
    options.writeChunk = 7;
    VideohubPeer peer(options);
    peer.lockByOther(1);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient client(peer);
    EXPECT_EQ(client.dump(), smallDump);
}

struct RequestCase {
    const char* name;
    std::string request;
    std::string toRequester;  // the answer and the changes, up to a PING's ACK
    std::string toOther;      // what a second client is sent meanwhile
    int route0;               // the input of output 0 afterwards
    std::function<void(PeerOptions&)> configure = nullptr;
};

std::ostream& operator<<(std::ostream& out, const RequestCase& test) {
    return out << test.name;
}

const std::string ack = "ACK\n\n";
const std::string nak = "NAK\n\n";

// Output 1 is locked by another panel throughout.
const RequestCase requestCases[] = {
    {"RouteChanged", "VIDEO OUTPUT ROUTING:\n0 1\n\n", ack + "VIDEO OUTPUT ROUTING:\n0 1\n\n",
     "VIDEO OUTPUT ROUTING:\n0 1\n\n", 1},
    {"RouteUnchangedReportedAsRequested", "VIDEO OUTPUT ROUTING:\n0 2\n\n",
     ack + "VIDEO OUTPUT ROUTING:\n0 2\n\n", "VIDEO OUTPUT ROUTING:\n0 2\n\n", 2},
    {"CarriageReturns", "VIDEO OUTPUT ROUTING:\r\n0 0\r\n\r\n",
     ack + "VIDEO OUTPUT ROUTING:\n0 0\n\n", "VIDEO OUTPUT ROUTING:\n0 0\n\n", 0},
    {"RouteToLockedOutput", "VIDEO OUTPUT ROUTING:\n1 0\n\n", nak, "", 2},
    {"OneBadLineRefusesAll", "VIDEO OUTPUT ROUTING:\n0 1\n1 1\n\n", nak, "", 2},
    {"OutputOutOfRange", "VIDEO OUTPUT ROUTING:\n2 0\n\n", nak, "", 2},
    {"InputOutOfRange", "VIDEO OUTPUT ROUTING:\n0 3\n\n", nak, "", 2},
    {"RouteMalformed", "VIDEO OUTPUT ROUTING:\n0 x\n\n", nak, "", 2},
    {"RouteNegative", "VIDEO OUTPUT ROUTING:\n-1 0\n\n", nak, "", 2},
    {"RouteTrailingText", "VIDEO OUTPUT ROUTING:\n0 1 2\n\n", nak, "", 2},
    {"RoutesNotReported", "VIDEO OUTPUT ROUTING:\n0 1\n\n", ack, "", 2,
     [](PeerOptions& options) { options.reportRoutes = false; }},
    {"LabelWithSpaces", "OUTPUT LABELS:\n1 Main PGM  2\n\n",
     ack + "OUTPUT LABELS:\n1 Main PGM  2\n\n", "OUTPUT LABELS:\n1 Main PGM  2\n\n", 2},
    {"OnlyChangedLabels", "INPUT LABELS:\n0 CAM 1\n2 VT\n\n", ack + "INPUT LABELS:\n2 VT\n\n",
     "INPUT LABELS:\n2 VT\n\n", 2},
    {"LabelWithoutText", "INPUT LABELS:\n2\n\n", nak, "", 2},
    {"LockTaken", "VIDEO OUTPUT LOCKS:\n0 O\n\n", ack + "VIDEO OUTPUT LOCKS:\n0 O\n\n",
     "VIDEO OUTPUT LOCKS:\n0 L\n\n", 2},
    {"LockOfAnother", "VIDEO OUTPUT LOCKS:\n1 O\n\n", nak, "", 2},
    {"UnlockOfAnother", "VIDEO OUTPUT LOCKS:\n1 U\n\n", nak, "", 2},
    {"LockForcedOpen", "VIDEO OUTPUT LOCKS:\n1 F\n\n", ack + "VIDEO OUTPUT LOCKS:\n1 U\n\n",
     "VIDEO OUTPUT LOCKS:\n1 U\n\n", 2},
    {"LockUnknownState", "VIDEO OUTPUT LOCKS:\n0 X\n\n", nak, "", 2},
    {"WholeBlockAgain", "VIDEO OUTPUT ROUTING:\n\n", ack + "VIDEO OUTPUT ROUTING:\n0 2\n1 1\n\n",
     "", 2},
    {"WholeLocksInOwnView", "VIDEO OUTPUT LOCKS:\n\n", ack + "VIDEO OUTPUT LOCKS:\n0 U\n1 L\n\n",
     "", 2},
    {"PreambleAgain", "PROTOCOL PREAMBLE:\n\n", ack + "PROTOCOL PREAMBLE:\nVersion: 2.8\n\n", "",
     2},
    {"PreambleNotChangeable", "PROTOCOL PREAMBLE:\nVersion: 3.0\n\n", nak, "", 2},
    {"UnknownBlock", "SERIAL PORT ROUTING:\n0 1\n\n", nak, "", 2},
    {"NoHeader", "hello\n\n", nak, "", 2},
    {"Ping", ping, ack, "", 2},
    {"BlankLinesBetweenBlocks", "\n\n" + ping, ack, "", 2},
};

class Request : public ::testing::TestWithParam<RequestCase> {};

TEST_P(Request, AnswerAndReports) {
    const RequestCase& test = GetParam();
    PeerOptions options = small();
    if (test.configure) test.configure(options);
    VideohubPeer peer(options);
    peer.lockByOther(1);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient requester(peer);
    RawClient other(peer);
    requester.dump();
    other.dump();
    EXPECT_EQ(requester.exchange(test.request), test.toRequester);
    EXPECT_EQ(other.exchange(""), test.toOther);
    EXPECT_EQ(peer.routeOf(0), test.route0);
}

INSTANTIATE_TEST_SUITE_P(VideohubPeer, Request, ::testing::ValuesIn(requestCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VideohubPeer, FrontPanelChangesReachEveryClient) {
    VideohubPeer peer(small());
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient first(peer);
    RawClient second(peer);
    first.dump();
    second.dump();
    peer.route(1, 2);
    peer.setLabel(VideohubPeer::Labels::input, 0, "Studio A");
    peer.lockByOther(0);
    const std::string changes =
        "VIDEO OUTPUT ROUTING:\n1 2\n\nINPUT LABELS:\n0 Studio A\n\nVIDEO OUTPUT LOCKS:\n0 L\n\n";
    EXPECT_EQ(first.exchange(""), changes);
    EXPECT_EQ(second.exchange(""), changes);
}

TEST(VideohubPeer, DisconnectReleasesLocks) {
    VideohubPeer peer(small());
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient stays(peer);
    stays.dump();
    {
        RawClient leaves(peer);
        leaves.dump();
        leaves.exchange("VIDEO OUTPUT LOCKS:\n0 O\n1 O\n\n");
        EXPECT_TRUE(peer.locked(0));
    }
    EXPECT_EQ(stays.block(), "VIDEO OUTPUT LOCKS:\n0 L\n1 L\n\n");
    EXPECT_EQ(stays.block(), "VIDEO OUTPUT LOCKS:\n0 U\n1 U\n\n");
    EXPECT_TRUE(peer.waitForClients(1, patience));
    EXPECT_FALSE(peer.locked(0));
}

TEST(VideohubPeer, OwnLockKeepsRoutingOpenToItsHolderOnly) {
    VideohubPeer peer(small());
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient holder(peer);
    RawClient other(peer);
    holder.dump();
    other.dump();
    holder.exchange("VIDEO OUTPUT LOCKS:\n0 O\n\n");
    other.exchange("");
    EXPECT_EQ(other.exchange("VIDEO OUTPUT ROUTING:\n0 0\n\n"), nak);
    EXPECT_EQ(holder.exchange("VIDEO OUTPUT ROUTING:\n0 0\n\n"),
              ack + "VIDEO OUTPUT ROUTING:\n0 0\n\n");
    EXPECT_EQ(holder.exchange("VIDEO OUTPUT LOCKS:\n0 U\n\n"),
              ack + "VIDEO OUTPUT LOCKS:\n0 U\n\n");
}

TEST(VideohubPeer, RequestsCountBlocksSentBeforeTheAnswer) {
    PeerOptions options = small();
    options.answerDelayMs = 50;
    VideohubPeer peer(options);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient client(peer);
    client.dump();
    client.exchange("");
    client.exchange("");
    client.exchange("VIDEO OUTPUT ROUTING:\n1 1\n\n");
    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), 4U);
    EXPECT_EQ(requests[2].text, "VIDEO OUTPUT ROUTING:\n1 1\n\n");
    EXPECT_EQ(requests[2].client, 1);
    // exchange() sends its PING without waiting for the answer before it.
    EXPECT_EQ(requests[0].unanswered, 1);
    EXPECT_EQ(requests[1].unanswered, 1);
    EXPECT_EQ(requests[2].unanswered, 1);
    EXPECT_EQ(requests[3].unanswered, 2);
}

TEST(VideohubPeer, SilentPeerAnswersNothing) {
    PeerOptions options = small();
    VideohubPeer peer(options);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient client(peer);
    client.dump();
    peer.setSilent(true);
    client.send(ping);
    ASSERT_TRUE(peer.waitForRequests(1, patience));
    peer.route(0, 0);
    EXPECT_EQ(client.block(200), "");
    peer.setSilent(false);
    EXPECT_EQ(client.exchange(""), "");
}

TEST(VideohubPeer, PingsLeftUnansweredOnRequest) {
    PeerOptions options = small();
    options.answerPings = false;
    VideohubPeer peer(options);
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient client(peer);
    client.dump();
    client.send(ping);
    ASSERT_TRUE(peer.waitForRequests(1, patience));
    EXPECT_EQ(client.block(200), "");
}

TEST(VideohubPeer, ResizeDropsClientsAndShowsInLaterDumps) {
    VideohubPeer peer(small());
    ASSERT_NO_FATAL_FAILURE(start(peer));
    RawClient before(peer);
    before.dump();
    ASSERT_TRUE(peer.waitForClients(1, patience));
    peer.resize(4, 1);
    EXPECT_EQ(peer.clients(), 0);
    EXPECT_TRUE(before.closed());
    RawClient after(peer);
    const std::string dump = after.dump();
    EXPECT_NE(dump.find("Video inputs: 4\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("INPUT LABELS:\n0 CAM 1\n1 CAM 2 Jib\n2 Input 3\n3 Input 4\n\n"),
              std::string::npos)
        << dump;
    EXPECT_NE(dump.find("VIDEO OUTPUT ROUTING:\n0 2\n\n"), std::string::npos) << dump;
    peer.disconnectAll();
    EXPECT_TRUE(after.closed());
}

}  // namespace
