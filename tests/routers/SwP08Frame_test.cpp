// Frames, acknowledgements and faults cut from the bytes however they are
// split, and the bounds that keep a broken stream from growing the reader.
#include "routers/SwP08Frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/routers/SwP08TestBytes.h"

namespace {

using zant::routers::testing::hex;
using zant::routers::testing::operator+;
using zant::routers::SwP08Frame;
using Bytes = SwP08Frame::Bytes;
using Fault = SwP08Frame::Fault;

const char* faultName(Fault fault) {
    switch (fault) {
        case Fault::none:
            return "none";
        case Fault::checksum:
            return "checksum";
        case Fault::count:
            return "count";
        case Fault::tooShort:
            return "tooShort";
        case Fault::tooLong:
            return "tooLong";
        case Fault::cutShort:
            return "cutShort";
    }
    return "?";
}

// "frame 01 02; bad checksum; ack; nak"
std::string render(const std::vector<SwP08Frame::Event>& events) {
    std::string text;
    for (const auto& event : events) {
        if (!text.empty()) text += "; ";
        switch (event.kind) {
            case SwP08Frame::Event::Kind::frame:
                text += "frame " + hex(event.data);
                break;
            case SwP08Frame::Event::Kind::malformed:
                text += std::string("bad ") + faultName(event.fault);
                break;
            case SwP08Frame::Event::Kind::ack:
                text += "ack";
                break;
            case SwP08Frame::Event::Kind::nak:
                text += "nak";
                break;
        }
    }
    return text;
}

// The events of `bytes` fed in pieces of `piece` bytes (0: whole).
std::string read(const Bytes& bytes, std::size_t piece = 0, SwP08Frame* framer = nullptr) {
    SwP08Frame own;
    SwP08Frame& reader = framer != nullptr ? *framer : own;
    std::vector<SwP08Frame::Event> events;
    if (piece == 0) piece = std::max<std::size_t>(bytes.size(), 1);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at), events);
    }
    return render(events);
}

TEST(SwP08Frame, EncodesTheWorkedExamples) {
    EXPECT_EQ(hex(SwP08Frame::encode({0x01, 0x11, 0x00, 0x01})), "10 02 01 11 00 01 04 E9 10 03");
    EXPECT_EQ(hex(SwP08Frame::encode({0x02, 0x00, 0x00, 0x10, 0x05})),
              "10 02 02 00 00 10 10 05 05 E4 10 03");
    EXPECT_EQ(hex(SwP08Frame::ack()), "10 06");
    EXPECT_EQ(hex(SwP08Frame::nak()), "10 15");
    EXPECT_TRUE(SwP08Frame::encode({}).empty());
    EXPECT_TRUE(SwP08Frame::encode(Bytes(SwP08Frame::maxData + 1, 1)).empty());
}

// A DLE in DATA at every position, as BTC (16 bytes of DATA) and as CHK, each
// whole and in pieces of every size.
TEST(SwP08Frame, RoundTripsEveryStuffedPositionInAnyPieces) {
    std::vector<Bytes> messages;
    for (std::size_t size = 1; size <= 17; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            Bytes data(size, 0x01);
            data[at] = SwP08Frame::dle;
            messages.push_back(data);
        }
    }
    Bytes dleSum{0x01, 0x00};
    dleSum[1] = static_cast<std::uint8_t>(0x100 - 0x10 - 2 - 1);  // CHK comes out 0x10
    ASSERT_EQ(SwP08Frame::checksum(dleSum), SwP08Frame::dle);
    messages.push_back(dleSum);
    messages.push_back(Bytes(SwP08Frame::maxData, SwP08Frame::dle));
    for (const Bytes& data : messages) {
        const Bytes frame = SwP08Frame::encode(data);
        const std::string expected = "frame " + hex(data);
        for (std::size_t piece = 0; piece <= frame.size(); ++piece) {
            ASSERT_EQ(read(frame + SwP08Frame::ack(), piece), expected + "; ack")
                << hex(frame) << " in pieces of " << piece;
        }
    }
}

struct ReadCase {
    const char* what;
    Bytes bytes;
    std::string events;
};

TEST(SwP08Frame, ReportsFaultsAndSkipsGarbage) {
    const Bytes interrogate = SwP08Frame::encode({0x01, 0x11, 0x00, 0x01});
    const ReadCase cases[] = {
        {"worked example",
         {0x10, 0x02, 0x01, 0x11, 0x00, 0x01, 0x04, 0xE9, 0x10, 0x03},
         "frame 01 11 00 01"},
        {"checksum off by one",
         {0x10, 0x02, 0x01, 0x11, 0x00, 0x01, 0x04, 0xEA, 0x10, 0x03},
         "bad checksum"},
        {"count one short",
         {0x10, 0x02, 0x01, 0x11, 0x00, 0x01, 0x03, 0xEA, 0x10, 0x03},
         "bad count"},
        {"unstuffed DLE in data",
         {0x10, 0x02, 0x02, 0x10, 0x05, 0x02, 0xE7, 0x10, 0x03},
         "bad cutShort"},
        {"no command byte", {0x10, 0x02, 0x00, 0x00, 0x10, 0x03}, "bad tooShort"},
        {"empty", {0x10, 0x02, 0x10, 0x03}, "bad tooShort"},
        {"garbage around", Bytes{0x00, 0xFF, 0x03, 0x02} + interrogate + Bytes{0x41, 0x10},
         "frame 01 11 00 01"},
        {"stray DLEs before a frame", Bytes{0x10, 0x10, 0x10} + interrogate, "frame 01 11 00 01"},
        {"DLE ETX between frames", Bytes{0x10, 0x03, 0x10, 0x41} + interrogate,
         "frame 01 11 00 01"},
        {"acks and naks between frames", Bytes{0x10, 0x06} + interrogate + Bytes{0x10, 0x15},
         "ack; frame 01 11 00 01; nak"},
        {"a frame restarted", Bytes{0x10, 0x02, 0x01, 0x11} + interrogate,
         "bad cutShort; frame 01 11 00 01"},
        {"an ack inside a frame", Bytes{0x10, 0x02, 0x01, 0x10, 0x06} + interrogate,
         "bad cutShort; ack; frame 01 11 00 01"},
        {"a duplicate", interrogate + interrogate, "frame 01 11 00 01; frame 01 11 00 01"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(read(c.bytes), c.events) << c.what;
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            SwP08Frame framer;
            std::vector<SwP08Frame::Event> events;
            framer.feed(c.bytes.data(), cut, events);
            framer.feed(c.bytes.data() + cut, c.bytes.size() - cut, events);
            ASSERT_EQ(render(events), c.events) << c.what << " cut at " << cut;
        }
    }
}

TEST(SwP08Frame, CountsSkippedBytesAndForgetsAHalfFrameOnReset) {
    SwP08Frame framer;
    EXPECT_EQ(read({0x00, 0x41, 0x10, 0x41}, 0, &framer), "");
    EXPECT_EQ(framer.skipped(), 4u);
    EXPECT_EQ(read({0x10, 0x02, 0x01}, 0, &framer), "");
    EXPECT_TRUE(framer.midFrame());
    framer.reset();
    EXPECT_FALSE(framer.midFrame());
    EXPECT_EQ(framer.skipped(), 0u);
    EXPECT_EQ(read({0x11, 0x00, 0x01, 0x04, 0xE9, 0x10, 0x03}, 0, &framer), "") << "tail skipped";
}

TEST(SwP08Frame, AFrameLongerThanBtcCanCountIsMalformedWhateverItsLength) {
    const Bytes longest = SwP08Frame::encode(Bytes(SwP08Frame::maxData, 0x20));
    EXPECT_EQ(read(longest), "frame " + hex(Bytes(SwP08Frame::maxData, 0x20)));
    for (std::size_t extra : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
        Bytes bytes{0x10, 0x02};
        bytes.resize(bytes.size() + SwP08Frame::maxData + 2 + extra, 0x20);
        const Bytes next = SwP08Frame::encode({0x15, 0x00});
        EXPECT_EQ(read(bytes + Bytes{0x10, 0x03} + next, 4096), "bad tooLong; frame 15 00")
            << extra << " bytes too many";
    }
}

}  // namespace
