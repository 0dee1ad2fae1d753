// Frames cut from bytes in pieces of any size, the published vectors, and the
// drops that keep a broken stream from growing the reader.
#include "routers/S101Frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "routers/S101Message.h"

namespace {

using zant::routers::S101Frame;
using zant::routers::S101Message;
using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> readInPieces(const Bytes& wire, size_t piece, S101Frame& reader) {
    std::vector<Bytes> payloads;
    for (size_t at = 0; at < wire.size(); at += piece) {
        reader.feed(wire.data() + at, std::min(piece, wire.size() - at), payloads);
    }
    return payloads;
}

TEST(S101Frame, EncodesThePublishedVectors) {
    EXPECT_EQ(S101Frame::encode(Bytes{0xFF, 0x00, 0xF9, 0x01}),
              (Bytes{0xFE, 0xFD, 0xDF, 0x00, 0xFD, 0xD9, 0x01, 0x95, 0x83, 0xFF}));
    EXPECT_EQ(S101Message::keepAliveRequest(),
              (Bytes{0xFE, 0x00, 0x0E, 0x01, 0x01, 0x94, 0xE4, 0xFF}));
    EXPECT_EQ(S101Message::keepAliveResponse(),
              (Bytes{0xFE, 0x00, 0x0E, 0x02, 0x01, 0xFD, 0xDC, 0xCE, 0xFF}));
}

TEST(S101Frame, EverySpecialByteRoundTripsInPiecesOfEverySize) {
    Bytes payload;
    for (int byte = 0xF6; byte <= 0xFF; ++byte) {
        payload.push_back(static_cast<std::uint8_t>(byte));
        payload.push_back(0x41);
    }
    Bytes wire;
    for (const Bytes& each : {payload, Bytes{0x00}, Bytes{0xFE, 0xFD, 0xFF}}) {
        S101Frame::encode(each.data(), each.size(), wire);
    }
    // Only the delimiters appear unescaped: one BOF and one EOF a frame.
    EXPECT_EQ(std::count(wire.begin(), wire.end(), S101Frame::bof), 3);
    EXPECT_EQ(std::count(wire.begin(), wire.end(), S101Frame::eof), 3);
    for (size_t piece = 1; piece <= wire.size(); ++piece) {
        S101Frame reader;
        const std::vector<Bytes> payloads = readInPieces(wire, piece, reader);
        ASSERT_EQ(payloads.size(), 3u) << "piece " << piece;
        EXPECT_EQ(payloads[0], payload);
        EXPECT_EQ(payloads[2], (Bytes{0xFE, 0xFD, 0xFF}));
        EXPECT_TRUE(reader.takeProblems().empty());
        EXPECT_FALSE(reader.midFrame());
    }
}

TEST(S101Frame, DropsBrokenFramesAndKeepsTheNext) {
    const Bytes good = S101Frame::encode(Bytes{0x00, 0x0E, 0x01, 0x01});
    Bytes badCrc = good;
    badCrc[2] ^= 0x01;
    struct Case {
        Bytes before;
        const char* problem;  // nullptr: none
    };
    const Case cases[] = {
        {badCrc, "a frame with a bad CRC was dropped"},
        {{0xFE, 0x12, 0xFF}, "a frame too short to hold a CRC was dropped"},
        {{0xFE, 0x00, 0x0E}, "an unfinished frame was dropped: a new one began"},
        {{0xFE, 0x00, 0xFD, 0xFF}, "a frame ending inside an escape was dropped"},
        {{0x01, 0x02, 0xFF, 0xFD}, nullptr},  // bytes between frames
    };
    for (const Case& c : cases) {
        Bytes wire = c.before;
        wire.insert(wire.end(), good.begin(), good.end());
        S101Frame reader;
        std::vector<Bytes> payloads;
        reader.feed(wire.data(), wire.size(), payloads);
        ASSERT_EQ(payloads.size(), 1u);
        EXPECT_EQ(payloads[0], (Bytes{0x00, 0x0E, 0x01, 0x01}));
        const std::vector<std::string> problems = reader.takeProblems();
        EXPECT_EQ(problems, c.problem == nullptr ? std::vector<std::string>{}
                                                 : std::vector<std::string>{c.problem});
    }
}

TEST(S101Frame, DropsAFrameLongerThanTheBoundUpToItsEnd) {
    Bytes wire{0xFE};
    wire.insert(wire.end(), S101Frame::maxFrame + 10, 0x33);
    wire.push_back(0xFF);
    const Bytes good = S101Frame::encode(Bytes{0x07});
    wire.insert(wire.end(), good.begin(), good.end());
    S101Frame reader;
    const std::vector<Bytes> payloads = readInPieces(wire, 4096, reader);
    EXPECT_EQ(payloads, std::vector<Bytes>{Bytes{0x07}});
    EXPECT_EQ(reader.takeProblems(),
              std::vector<std::string>{"a frame longer than 65536 bytes was dropped"});
}

}  // namespace
