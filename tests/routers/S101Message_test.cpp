// Keep-alives answered, and messages of one or several packets joined again,
// within their bound.
#include "routers/S101Message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "routers/S101Frame.h"

namespace {

using zant::routers::S101Frame;
using zant::routers::S101Message;
using Bytes = std::vector<std::uint8_t>;

S101Message::Read readWire(const Bytes& wire, S101Message& messages) {
    S101Frame frames;
    std::vector<Bytes> payloads;
    frames.feed(wire.data(), wire.size(), payloads);
    EXPECT_TRUE(frames.takeProblems().empty());
    S101Message::Read read;
    for (const Bytes& payload : payloads) messages.take(payload, read);
    return read;
}

Bytes sequence(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(S101Message, AnswersAKeepAliveRequestAndNotesAResponse) {
    S101Message messages;
    S101Message::Read read = readWire(S101Message::keepAliveRequest(), messages);
    EXPECT_TRUE(read.keepAliveAsked);
    EXPECT_EQ(read.reply, S101Message::keepAliveResponse());
    read = readWire(S101Message::keepAliveResponse(), messages);
    EXPECT_TRUE(read.keepAliveAnswered);
    EXPECT_TRUE(read.reply.empty());
}

TEST(S101Message, SplitsAndJoinsMessagesOfEverySize) {
    const struct {
        size_t size;
        size_t packetData;
        size_t packets;
    } cases[] = {{0, 10, 1}, {10, 10, 1}, {11, 10, 2}, {30, 10, 3}, {3000, 1024, 3}, {5, 1, 5}};
    for (const auto& c : cases) {
        const Bytes ber = sequence(c.size);
        const Bytes wire = S101Message::encode(ber, c.packetData);
        EXPECT_EQ(static_cast<size_t>(std::count(wire.begin(), wire.end(), S101Frame::bof)),
                  c.packets);
        S101Message messages;
        const S101Message::Read read = readWire(wire, messages);
        ASSERT_EQ(read.messages.size(), 1u) << c.size;
        EXPECT_EQ(read.messages[0], ber);
        EXPECT_TRUE(messages.takeProblems().empty());
    }
}

TEST(S101Message, AcceptsAnyGlowVersionAndCountOfApplicationBytes) {
    const Bytes payload{0x00, 0x0E, 0x00, 0x01, 0xC0, 0x01, 0x03, 0x32, 0x02, 0x99, 0x61, 0x00};
    S101Message messages;
    S101Message::Read read;
    messages.take(payload, read);
    EXPECT_EQ(read.messages, std::vector<Bytes>{(Bytes{0x61, 0x00})});
}

TEST(S101Message, DropsPacketsOutOfOrderOrNotUnderstood) {
    auto packet = [](std::uint8_t flags, std::uint8_t data) {
        return Bytes{0x00, 0x0E, 0x00, 0x01, flags, 0x01, 0x02, 0x1F, 0x02, data};
    };
    struct Case {
        std::vector<Bytes> payloads;
        std::vector<Bytes> messages;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {{packet(0x00, 1), packet(0x40, 2)},
         {},
         {"a packet without the start of its message was dropped",
          "a packet without the start of its message was dropped"}},
        {{packet(0x80, 1), packet(0x20, 9), packet(0x00, 2), packet(0x40, 3)}, {{1, 2, 3}}, {}},
        {{packet(0x80, 1), packet(0xC0, 5)},
         {{5}},
         {"a message cut short by the next one was dropped"}},
        {{Bytes{0x00, 0x0F, 0x00, 0x01}},
         {},
         {"a packet that is not an Ember+ packet was dropped"}},
        {{Bytes{0x00, 0x0E, 0x07, 0x01}}, {}, {"a packet with the unknown command 7 was dropped"}},
        {{Bytes{0x00, 0x0E, 0x00, 0x01, 0xC0, 0x02, 0x00}},
         {},
         {"a data packet without the Glow DTD was dropped"}},
        {{Bytes{0x00, 0x0E, 0x00, 0x01, 0xC0, 0x01, 0x05, 0x1F}},
         {},
         {"a data packet cut short in its header was dropped"}},
    };
    for (const Case& c : cases) {
        S101Message messages;
        S101Message::Read read;
        for (const Bytes& payload : c.payloads) messages.take(payload, read);
        EXPECT_EQ(read.messages, c.messages);
        EXPECT_EQ(messages.takeProblems(), c.problems);
    }
}

TEST(S101Message, DropsAMessageLongerThanTheBoundAndReadsTheNext) {
    const Bytes big(S101Message::maxMessage + 1, 0x30);
    Bytes wire = S101Message::encode(big, 60000);
    const Bytes small = S101Message::encode(Bytes{0x01, 0x02});
    wire.insert(wire.end(), small.begin(), small.end());
    S101Message messages;
    const S101Message::Read read = readWire(wire, messages);
    EXPECT_EQ(read.messages, std::vector<Bytes>{(Bytes{0x01, 0x02})});
    EXPECT_EQ(messages.takeProblems(),
              std::vector<std::string>{"a message longer than 4194304 bytes was dropped"});
    EXPECT_FALSE(messages.midMessage());
}

}  // namespace
