// Messages to their bytes and back, in both addressing forms and at the
// boundaries where the form changes; what the decoder accepts from routers
// and what it refuses; tables split over messages.
#include "routers/SwP08Message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/routers/SwP08TestBytes.h"

namespace {

using zant::routers::SwP08Message;
using zant::routers::testing::bytes;
using zant::routers::testing::hex;
using Bytes = SwP08Message::Bytes;
using Kind = SwP08Message::Kind;
using Decoded = SwP08Message::Decoded;

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::interrogate:
            return "interrogate";
        case Kind::connect:
            return "connect";
        case Kind::tally:
            return "tally";
        case Kind::connected:
            return "connected";
        case Kind::protectInterrogate:
            return "protectInterrogate";
        case Kind::protectTally:
            return "protectTally";
        case Kind::protect:
            return "protect";
        case Kind::protectConnected:
            return "protectConnected";
        case Kind::unprotect:
            return "unprotect";
        case Kind::protectDisconnected:
            return "protectDisconnected";
        case Kind::tallyDumpRequest:
            return "tallyDumpRequest";
        case Kind::tallyDump:
            return "tallyDump";
        case Kind::invalidMessage:
            return "invalidMessage";
        case Kind::sourceNamesRequest:
            return "sourceNamesRequest";
        case Kind::sourceNameRequest:
            return "sourceNameRequest";
        case Kind::destinationNamesRequest:
            return "destinationNamesRequest";
        case Kind::destinationNameRequest:
            return "destinationNameRequest";
        case Kind::sourceNames:
            return "sourceNames";
        case Kind::destinationNames:
            return "destinationNames";
    }
    return "?";
}

// Every field, for comparing messages.
std::string describe(const SwP08Message& m) {
    std::string text = kindName(m.kind) + std::string(m.extended ? "+" : "") + " m" +
                       std::to_string(m.matrix) + " l" + std::to_string(m.level) + " d" +
                       std::to_string(m.destination) + " s" + std::to_string(m.source) + " st" +
                       std::to_string(m.status) + " first" + std::to_string(m.first);
    if (m.kind == Kind::sourceNames || m.kind == Kind::destinationNames ||
        m.kind == Kind::sourceNameRequest || m.kind == Kind::sourceNamesRequest ||
        m.kind == Kind::destinationNameRequest || m.kind == Kind::destinationNamesRequest) {
        text += " lc" + std::to_string(m.lengthCode);
    }
    for (int s : m.sources) text += " <" + std::to_string(s);
    for (const std::string& n : m.names) text += " '" + n + "'";
    return text;
}

SwP08Message make(Kind kind, int matrix, int level, int destination = 0, int source = 0) {
    SwP08Message m;
    m.kind = kind;
    m.matrix = matrix;
    m.level = level;
    m.destination = destination;
    m.source = source;
    return m;
}

SwP08Message withStatus(SwP08Message m, int status) {
    m.status = status;
    return m;
}

SwP08Message dump(int matrix, int level, int first, std::vector<int> sources) {
    SwP08Message m = make(Kind::tallyDump, matrix, level);
    m.first = first;
    m.sources = std::move(sources);
    return m;
}

SwP08Message names(Kind kind, int matrix, int level, int lengthCode, int first,
                   std::vector<std::string> list = {}) {
    SwP08Message m = make(kind, matrix, level);
    m.lengthCode = lengthCode;
    m.first = first;
    m.names = std::move(list);
    return m;
}

struct WireCase {
    SwP08Message message;
    std::string data;
    std::size_t optionalTail = 0;  // trailing bytes a decoder may do without
};

// The encoder's choice of form, and the decoder reading it back as it was
// (with `extended` as it went on the wire).
TEST(SwP08Message, EncodesEachCommandAndReadsItBack) {
    const WireCase cases[] = {
        {make(Kind::interrogate, 1, 1, 1), "01 11 00 01"},
        {make(Kind::connect, 0, 0, 16, 5), "02 00 00 10 05"},
        {make(Kind::connect, 0, 0, 127, 127), "02 00 00 7F 7F"},
        {make(Kind::connect, 0, 0, 128, 128), "02 00 11 00 00"},
        {make(Kind::connect, 0, 0, 1023, 1023), "02 00 77 7F 7F"},
        {make(Kind::connect, 0, 0, 1024, 0), "82 00 00 04 00 00 00"},
        {make(Kind::connect, 0, 0, 0, 1024), "82 00 00 00 00 04 00"},
        {make(Kind::interrogate, 15, 15, 0), "01 FF 00 00"},
        {make(Kind::interrogate, 16, 0, 0), "81 10 00 00 00"},
        {make(Kind::interrogate, 0, 16, 65535), "81 00 10 FF FF"},
        {make(Kind::tally, 2, 3, 200, 300), "03 23 12 48 2C"},
        {make(Kind::connected, 0, 1, 0, 7), "04 01 00 00 07"},
        {withStatus(make(Kind::tally, 0, 0, 2000, 6), 1), "83 00 00 07 D0 00 06 01", 1},
        {make(Kind::connected, 0, 40, 5, 6), "84 00 28 00 05 00 06 00", 1},
        {make(Kind::protectInterrogate, 0, 2, 130), "0A 02 10 02"},
        {withStatus(make(Kind::protectTally, 0, 2, 5), 1), "0B 02 00 05 01"},
        {make(Kind::protect, 0, 0, 5), "0C 00 00 05"},
        {withStatus(make(Kind::protectConnected, 0, 0, 5), 2), "0D 00 00 05 02"},
        {make(Kind::unprotect, 0, 0, 5), "0E 00 00 05"},
        {withStatus(make(Kind::protectDisconnected, 0, 0, 5), 0), "0F 00 00 05 00"},
        {withStatus(make(Kind::protectTally, 0, 0, 2000), 3), "8B 00 00 07 D0 03"},
        {make(Kind::unprotect, 17, 0, 1), "8E 11 00 00 01"},
        {make(Kind::tallyDumpRequest, 1, 2), "15 12"},
        {make(Kind::tallyDumpRequest, 20, 0), "95 14 00"},
        {dump(0, 1, 0, {1, 2, 191}), "16 01 03 00 01 02 BF"},
        {dump(0, 1, 190, {1, 2}), "16 01 02 BE 01 02"},
        {dump(0, 1, 191, {1, 2}), "17 01 02 00 BF 00 01 00 02"},
        {dump(0, 0, 0, {192}), "17 00 01 00 00 00 C0"},
        {dump(16, 0, 1, {5, 1023}), "97 10 00 02 00 01 00 05 03 FF"},
        {make(Kind::invalidMessage, 0, 0), "63"},
        {names(Kind::sourceNamesRequest, 0, 1, 1, 0), "64 01 01"},
        {names(Kind::sourceNameRequest, 0, 0, 4, 300), "65 00 04 01 2C"},
        {names(Kind::destinationNamesRequest, 2, 0, 1, 0), "66 20 01"},
        {names(Kind::destinationNameRequest, 2, 0, 0, 5), "67 20 00 00 05"},
        {names(Kind::sourceNamesRequest, 16, 1, 2, 0), "E4 10 01 02"},
        {names(Kind::destinationNameRequest, 16, 0, 3, 9), "E7 10 00 03 00 09"},
        {names(Kind::sourceNames, 0, 1, 0, 1, {"Cam", "ABCD"}),
         "6A 01 00 00 01 02 43 61 6D 20 41 42 43 44"},
        {names(Kind::destinationNames, 1, 0, 0, 256, {"X"}), "6B 10 00 01 00 01 58 20 20 20"},
        {names(Kind::sourceNames, 0, 20, 0, 0, {""}), "EA 00 14 00 00 00 01 20 20 20 20"},
    };
    for (const WireCase& c : cases) {
        const Bytes data = c.message.encode();
        EXPECT_EQ(hex(data), c.data) << describe(c.message);
        SwP08Message expected = c.message;
        expected.extended = !data.empty() && data[0] >= 0x80;
        SwP08Message read;
        ASSERT_EQ(SwP08Message::decode(data, read), Decoded::ok) << c.data;
        EXPECT_EQ(describe(read), describe(expected)) << c.data;
        // Every cut short of the fields it needs is reported, never read past.
        for (std::size_t size = 1; size + c.optionalTail < data.size(); ++size) {
            EXPECT_EQ(SwP08Message::decode(data.data(), size, read), Decoded::tooShort)
                << c.data << " cut to " << size;
        }
    }
}

struct ReadCase {
    const char* what;
    std::string data;
    Decoded decoded;
    std::string message;  // describe() of what was read when ok
};

TEST(SwP08Message, ReadsWhatRoutersSendAndRefusesWhatItCannotRead) {
    const ReadCase cases[] = {
        {"bad-source flag masked", "03 00 08 05 06", Decoded::ok, "tally m0 l0 d5 s6 st0 first0"},
        {"high bits of MOD bytes masked", "03 00 00 85 86", Decoded::ok,
         "tally m0 l0 d5 s6 st0 first0"},
        {"extended tally without status", "83 00 01 04 00 00 09", Decoded::ok,
         "tally+ m0 l1 d1024 s9 st0 first0"},
        {"bytes after the message", "01 11 00 01 FF FF", Decoded::ok,
         "interrogate m1 l1 d1 s0 st0 first0"},
        {"names padded with NULs and spaces", "6A 00 00 00 03 02 41 00 00 00 42 20 00 43",
         Decoded::ok, "sourceNames m0 l0 d0 s0 st0 first3 lc0 'A' 'B'"},
        {"destination names ignore the level nibble", "6B 35 00 00 00 01 41 42 20 20", Decoded::ok,
         "destinationNames m3 l0 d0 s0 st0 first0 lc0 'AB'"},
        {"a dump of nothing", "16 00 00 05", Decoded::ok, "tallyDump m0 l0 d0 s0 st0 first5"},
        {"invalid message with a payload", "63 01 02", Decoded::ok,
         "invalidMessage m0 l0 d0 s0 st0 first0"},
        {"empty", "", Decoded::tooShort, ""},
        {"a dump short of its count", "17 00 03 00 00 00 01 00 02", Decoded::tooShort, ""},
        {"names short of their count", "6A 00 00 00 00 02 41 42 43 44 45", Decoded::tooShort, ""},
        {"command not used", "05 00 00 01", Decoded::unknown, ""},
        {"extended byte dump does not exist", "96 00 00 01 00", Decoded::unknown, ""},
        {"no extended invalid message", "E3", Decoded::unknown, ""},
        {"salvo", "78 00", Decoded::unknown, ""},
        {"length code 5", "64 00 05", Decoded::unknown, ""},
    };
    for (const ReadCase& c : cases) {
        SwP08Message read;
        const Bytes data = bytes(c.data);
        ASSERT_EQ(SwP08Message::decode(data, read), c.decoded) << c.what;
        if (c.decoded == Decoded::ok) {
            EXPECT_EQ(describe(read), c.message) << c.what;
        }
    }
}

TEST(SwP08Message, RefusesToEncodeWhatDoesNotFit) {
    SwP08Message tooLongName = names(Kind::sourceNames, 0, 0, 1, 0);
    tooLongName.names.assign(17, "x");
    const SwP08Message cases[] = {
        make(Kind::connect, 0, 0, 65536, 0),
        make(Kind::connect, 0, 0, 0, -1),
        make(Kind::interrogate, 256, 0, 0),
        make(Kind::interrogate, 0, -1, 0),
        withStatus(make(Kind::protectTally, 0, 0, 0), 256),
        names(Kind::sourceNamesRequest, 0, 0, 5, 0),
        names(Kind::sourceNameRequest, 0, 0, 1, 65536),
        dump(0, 0, 0, std::vector<int>(129, 1)),
        dump(0, 0, 1000, std::vector<int>(65, 1)),
        dump(0, 0, 65535, {1, 2}),
        dump(0, 0, 0, {65536}),
        tooLongName,
    };
    for (const SwP08Message& m : cases) EXPECT_TRUE(m.encode().empty()) << describe(m);
}

// A table as the messages that carry it: each within a reply's size, in the
// form its numbers allow, and read back whole.
TEST(SwP08Message, SplitsTablesOverMessagesThatReadBackWhole) {
    std::vector<int> wide(1024);
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = 1023 - static_cast<int>(i);
    std::vector<int> small(192);
    for (std::size_t i = 0; i < small.size(); ++i) small[i] = 191 - static_cast<int>(i);
    std::vector<std::string> labels(100);
    for (std::size_t i = 0; i < labels.size(); ++i) labels[i] = "N" + std::to_string(i);
    struct SplitCase {
        SwP08Message table;
        std::size_t perMessage;
        std::size_t messages;
        std::uint8_t command;  // of the first message
    };
    const SplitCase cases[] = {
        {dump(0, 0, 0, wide), 0, 16, 0x17},
        {dump(0, 0, 0, small), 0, 2, 0x16},  // 128 in the byte form, then 64
        {dump(0, 0, 0, small), 1, 192, 0x16},
        {dump(0, 20, 0, wide), 0, 16, 0x97},
        {names(Kind::sourceNames, 0, 0, 1, 0, labels), 0, 7, 0x6A},
        {names(Kind::destinationNames, 0, 0, 4, 0, labels), 0, 25, 0x6B},
        {names(Kind::sourceNames, 0, 0, 0, 10, labels), 1, 100, 0x6A},
    };
    for (const SplitCase& c : cases) {
        const std::vector<SwP08Message> pieces = c.table.split(c.perMessage);
        ASSERT_EQ(pieces.size(), c.messages) << describe(c.table);
        SwP08Message whole;
        for (const SwP08Message& piece : pieces) {
            const Bytes data = piece.encode();
            ASSERT_FALSE(data.empty()) << describe(piece);
            EXPECT_LE(data.size(), 134u);
            SwP08Message read;
            ASSERT_EQ(SwP08Message::decode(data, read), Decoded::ok);
            if (&piece == &pieces.front()) {
                EXPECT_EQ(data[0], c.command);
                whole = read;
                whole.sources.clear();
                whole.names.clear();
            }
            EXPECT_EQ(read.first,
                      c.table.first + static_cast<int>(whole.sources.size() + whole.names.size()));
            whole.sources.insert(whole.sources.end(), read.sources.begin(), read.sources.end());
            whole.names.insert(whole.names.end(), read.names.begin(), read.names.end());
        }
        whole.extended = c.table.extended;
        EXPECT_EQ(describe(whole), describe(c.table));
    }
}

}  // namespace
