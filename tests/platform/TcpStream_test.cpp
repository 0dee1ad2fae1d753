// TcpStream and TcpListener on the loopback, with ports the system picks.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <ostream>
#include <string>
#include <thread>

#include "platform/TcpListener.h"
#include "platform/TcpStream.h"

namespace {

using zant::platform::TcpListener;
using zant::platform::TcpStream;
using Received = TcpStream::Received;
using Clock = std::chrono::steady_clock;

constexpr int patience = 5000;

struct Pair {
    TcpListener listener;
    TcpStream client;
    TcpStream server;
};

// A connected client and server stream.
void connectPair(Pair& pair) {
    std::string error;
    ASSERT_TRUE(pair.listener.listen(0, error)) << error;
    ASSERT_TRUE(pair.client.connect("127.0.0.1", pair.listener.port(), patience, error)) << error;
    pair.server = pair.listener.accept(patience);
    ASSERT_TRUE(pair.server.open());
}

// Reads until `size` bytes came or the stream closed.
std::string receiveAll(TcpStream& stream, size_t size) {
    std::string text;
    char buffer[4096];
    std::string error;
    while (text.size() < size) {
        size_t got = 0;
        if (stream.receive(buffer, sizeof buffer, patience, got, error) != Received::data) break;
        text.append(buffer, got);
    }
    return text;
}

int freedPort() {
    TcpListener listener;
    std::string error;
    EXPECT_TRUE(listener.listen(0, error)) << error;
    return listener.port();
}

struct ConnectCase {
    const char* name;
    int port;  // -1: a port that nobody listens on
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const ConnectCase& test) {
    return out << test.name;
}

class ConnectFailure : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectFailure, SaysWhereAndWhy) {
    const ConnectCase& test = GetParam();
    const int port = test.port < 0 ? freedPort() : test.port;
    TcpStream stream;
    std::string error;
    EXPECT_FALSE(stream.connect("127.0.0.1", port, patience, error));
    EXPECT_EQ(error, "cannot connect to 127.0.0.1:" + std::to_string(port) + ": " + test.message);
    EXPECT_FALSE(stream.open());
}

INSTANTIATE_TEST_SUITE_P(Tcp, ConnectFailure,
                         ::testing::Values(ConnectCase{"Refused", -1, "connection refused"},
                                           ConnectCase{"PortZero", 0, "no such port"},
                                           ConnectCase{"PortTooHigh", 65536, "no such port"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TcpStream, RoundTripBothWays) {
    Pair pair;
    ASSERT_NO_FATAL_FAILURE(connectPair(pair));
    std::string error;
    // Larger than a socket buffer: send waits for the reader.
    const std::string big(1 << 20, 'x');
    std::thread writer([&] { EXPECT_TRUE(pair.client.send(big, patience, error)) << error; });
    EXPECT_EQ(receiveAll(pair.server, big.size()), big);
    writer.join();
    std::string answer;
    ASSERT_TRUE(pair.server.send("ACK\n\n", patience, answer)) << answer;
    EXPECT_EQ(receiveAll(pair.client, 5), "ACK\n\n");
}

TEST(TcpStream, ReceiveTimesOutWithNothing) {
    Pair pair;
    ASSERT_NO_FATAL_FAILURE(connectPair(pair));
    char buffer[16];
    size_t got = 99;
    std::string error;
    EXPECT_EQ(pair.client.receive(buffer, sizeof buffer, 0, got, error), Received::nothing);
    const auto start = Clock::now();
    EXPECT_EQ(pair.client.receive(buffer, sizeof buffer, 100, got, error), Received::nothing);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(got, 0U);
    EXPECT_TRUE(pair.client.open());
}

TEST(TcpStream, PeerCloseIsClosed) {
    Pair pair;
    ASSERT_NO_FATAL_FAILURE(connectPair(pair));
    pair.server = TcpStream();
    char buffer[16];
    size_t got = 0;
    std::string error;
    EXPECT_EQ(pair.client.receive(buffer, sizeof buffer, patience, got, error), Received::closed);
    EXPECT_EQ(error, "connection closed by the peer");
    EXPECT_FALSE(pair.client.open());
}

TEST(TcpStream, SendToAGonePeerFailsWithoutSignal) {
    Pair pair;
    ASSERT_NO_FATAL_FAILURE(connectPair(pair));
    pair.server = TcpStream();
    std::string error;
    // The first send may still be taken; a later one meets the reset.
    bool sent = true;
    for (int i = 0; i < 100 && sent; ++i) sent = pair.client.send("PING:\n\n", patience, error);
    EXPECT_FALSE(sent);
    EXPECT_FALSE(pair.client.open());
}

TEST(TcpListener, BusyPortIsRefused) {
    TcpListener first;
    TcpListener second;
    std::string error;
    ASSERT_TRUE(first.listen(0, error)) << error;
    EXPECT_FALSE(second.listen(first.port(), error));
    EXPECT_EQ(error, "cannot listen on 127.0.0.1:" + std::to_string(first.port()) +
                         ": address already in use");
}

TEST(TcpStream, CloseFromAnotherThreadWakesReceive) {
    Pair pair;
    ASSERT_NO_FATAL_FAILURE(connectPair(pair));
    auto reader = std::async(std::launch::async, [&] {
        char buffer[16];
        size_t got = 0;
        std::string error;
        return pair.client.receive(buffer, sizeof buffer, -1, got, error);
    });
    EXPECT_EQ(reader.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    pair.client.close();
    ASSERT_EQ(reader.wait_for(std::chrono::milliseconds(patience)), std::future_status::ready);
    EXPECT_EQ(reader.get(), Received::closed);
    EXPECT_FALSE(pair.client.open());
}

TEST(TcpListener, ClosedListenerAcceptsNothing) {
    TcpListener listener;
    std::string error;
    ASSERT_TRUE(listener.listen(0, error)) << error;
    auto accepter = std::async(std::launch::async, [&] { return listener.accept(300).open(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    listener.close();
    EXPECT_FALSE(accepter.get());
    TcpStream stream;
    EXPECT_FALSE(stream.connect("127.0.0.1", listener.port(), patience, error));
}

}  // namespace
