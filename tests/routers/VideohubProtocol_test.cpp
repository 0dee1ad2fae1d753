// One Videohub connection's bytes, whole or in pieces, mapped onto updates
// and applied to the neutral picture: what is taken, what is refused without
// a change and why, and the requests a client sends.
#include "routers/VideohubProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "routers/RouterPicture.h"

namespace {

using zant::routers::Lock;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;
using zant::routers::Side;
using zant::routers::VideohubProtocol;
using Kind = RouterUpdate::Kind;

char lockLetter(int output) {
    return "UOL"[output % 3];
}

int routeOf(int output, int inputs) {
    return (output * 7 + 1) % inputs;
}

// What a router sends on connect, with blocks a client does not know.
std::string dump(int inputs, int outputs) {
    std::string text =
        "PROTOCOL PREAMBLE:\nVersion: 2.8\n\nVIDEOHUB DEVICE:\nDevice present: true\n"
        "Model name: Router 288\nFriendly name: Studio A\nUnique ID: 7C2E0D0A1B2C\n"
        "Video inputs: " +
        std::to_string(inputs) +
        "\nVideo processing units: 0\nVideo outputs: " + std::to_string(outputs) +
        "\nVideo monitoring outputs: 0\nSerial ports: 0\n\n";
    text += "INPUT LABELS:\n";
    for (int i = 0; i < inputs; ++i)
        text += std::to_string(i) + " Input " + std::to_string(i + 1) + "\n";
    text += "\nOUTPUT LABELS:\n";
    for (int i = 0; i < outputs; ++i)
        text += std::to_string(i) + " Out " + std::to_string(i + 1) + "\n";
    text += "\nVIDEO OUTPUT LOCKS:\n";
    for (int i = 0; i < outputs; ++i) text += std::to_string(i) + " " + lockLetter(i) + "\n";
    text += "\nVIDEO OUTPUT ROUTING:\n";
    for (int i = 0; i < outputs; ++i) {
        text += std::to_string(i) + " " + std::to_string(routeOf(i, inputs)) + "\n";
    }
    return text + "\nCONFIGURATION:\nTake Mode: true\n\nEND PRELUDE:\n\n";
}

struct Connection {
    VideohubProtocol protocol;
    RouterPicture picture{VideohubProtocol::portLimit, VideohubProtocol::labelLimit};
    // How many updates changed the picture in the last feed.
    int changes = 0;

    std::vector<RouterUpdate> feed(const std::string& bytes, size_t piece = 1460) {
        std::vector<RouterUpdate> updates;
        std::string send;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            protocol.received(bytes.data() + at, std::min(piece, bytes.size() - at), updates, send);
        }
        EXPECT_EQ(send, "") << "nothing answered to the router";
        changes = 0;
        for (const RouterUpdate& update : updates) changes += picture.apply(update) ? 1 : 0;
        return updates;
    }
    // The sentences of what `bytes` had that is ignored.
    std::vector<std::string> problemsOf(const std::string& bytes) {
        std::vector<std::string> problems;
        for (const RouterUpdate& update : feed(bytes)) {
            if (update.kind == Kind::ignored) problems.push_back(update.text);
        }
        return problems;
    }
    void reconnect() {
        std::string send;
        protocol.connected(send);
        picture.startAgain();
    }
};

std::vector<RouterUpdate> only(const std::vector<RouterUpdate>& updates, Kind kind) {
    std::vector<RouterUpdate> kept;
    for (const RouterUpdate& update : updates) {
        if (update.kind == kind) kept.push_back(update);
    }
    return kept;
}

// Everything the picture holds, as text.
std::string snapshot(const RouterPicture& picture) {
    std::string text =
        std::to_string(picture.sources()) + "x" + std::to_string(picture.destinations());
    for (int i = 1; i <= VideohubProtocol::portLimit; ++i) {
        if (const std::string* label = picture.label(Side::source, i)) {
            text += " s" + std::to_string(i) + "=" + *label;
        }
        if (const std::string* label = picture.label(Side::destination, i)) {
            text += " d" + std::to_string(i) + "=" + *label;
        }
        if (picture.route(i) != 0) {
            text += " r" + std::to_string(i) + "=" + std::to_string(picture.route(i));
        }
        if (picture.lock(i) != Lock::none) {
            text +=
                " l" + std::to_string(i) + "=" + std::to_string(static_cast<int>(picture.lock(i)));
        }
    }
    return text;
}

Lock lockOf(char letter) {
    return letter == 'U' ? Lock::unlocked : letter == 'O' ? Lock::ours : Lock::theirs;
}

TEST(VideohubProtocol, AWholeDumpThenTheSameDumpAfterAReconnectInBytes) {
    Connection connection;
    const std::string bytes = dump(288, 288);
    auto updates = connection.feed(bytes);
    EXPECT_TRUE(only(updates, Kind::ignored).empty());
    EXPECT_TRUE(only(updates, Kind::fault).empty());
    ASSERT_EQ(only(updates, Kind::dumpComplete).size(), 1u);
    EXPECT_EQ(updates.back().kind, Kind::dumpComplete) << "complete with the routing block";
    const auto routes = only(updates, Kind::route);
    ASSERT_EQ(routes.size(), 288u);
    const RouterPicture& picture = connection.picture;
    ASSERT_EQ(picture.sources(), 288);
    ASSERT_EQ(picture.destinations(), 288);
    for (int i = 0; i < 288; ++i) {
        ASSERT_NE(picture.label(Side::source, i + 1), nullptr);
        ASSERT_NE(picture.label(Side::destination, i + 1), nullptr);
        EXPECT_EQ(*picture.label(Side::source, i + 1), "Input " + std::to_string(i + 1));
        EXPECT_EQ(*picture.label(Side::destination, i + 1), "Out " + std::to_string(i + 1));
        EXPECT_EQ(picture.lock(i + 1), lockOf(lockLetter(i)));
        EXPECT_EQ(picture.route(i + 1), routeOf(i, 288) + 1);
        EXPECT_EQ(routes[i].destination, i + 1);
        EXPECT_EQ(routes[i].source, routeOf(i, 288) + 1);
    }
    EXPECT_EQ(picture.label(Side::source, 289), nullptr);
    EXPECT_EQ(picture.route(289), 0);
    EXPECT_EQ(picture.route(0), 0);

    const std::string before = snapshot(picture);
    connection.reconnect();
    EXPECT_EQ(snapshot(picture), before) << "kept across the reconnect";
    updates = connection.feed(bytes, 1);
    EXPECT_EQ(connection.changes, 0) << "the same dump changes nothing";
    EXPECT_EQ(only(updates, Kind::dumpComplete).size(), 1u) << "complete again";
    EXPECT_EQ(snapshot(picture), before);
}

// Each update as text, in order.
std::string rendered(const std::vector<RouterUpdate>& updates) {
    std::string text;
    for (const RouterUpdate& update : updates) {
        text += std::to_string(static_cast<int>(update.kind)) + " " + std::to_string(update.index) +
                " " + std::to_string(update.destination) + "<" + std::to_string(update.source) +
                " " + update.text + "\n";
    }
    return text;
}

// What the reader refuses is said after the block it came with, however
// the bytes are cut, so that refusals are counted the same way.
TEST(VideohubProtocol, TheSameUpdatesWholeOrAByteAtATime) {
    using namespace std::string_literals;
    const std::string longLine(2000, 'x');
    const std::string cases[] = {
        "INPUT LABELS:\n0 A\n\nVIDEO"s + '\0' + " OUTPUT\n1 2\n\nOUTPUT LABELS:\n0 " + longLine +
            "\n1 " + longLine + "\n\nVIDEO OUTPUT ROUTING:\n0 0\nbad\n\n",
        "VIDEO OUTPUT LOCKS:\n0 L\nx"s + '\0' + "y\n0 U\n\n" + longLine + "\n\nACK\n\n",
    };
    for (const std::string& bytes : cases) {
        Connection whole;
        Connection bytewise;
        const std::string expected = rendered(whole.feed(bytes));
        EXPECT_NE(expected.find("6 0 0<0 "), std::string::npos) << "the reader refused some";
        EXPECT_EQ(rendered(bytewise.feed(bytes, 1)), expected) << bytes.substr(0, 40);
        EXPECT_EQ(snapshot(bytewise.picture), snapshot(whole.picture));
    }
}

TEST(VideohubProtocol, AConnectionCutMidBlockKeepsOnlyTheBlocksThatEnded) {
    const std::string bytes = dump(16, 16);
    Connection connection;
    const auto updates = connection.feed(bytes.substr(0, bytes.find("12 ", bytes.find("ROUTING"))));
    EXPECT_TRUE(connection.protocol.midMessage());
    EXPECT_TRUE(only(updates, Kind::dumpComplete).empty());
    EXPECT_EQ(connection.picture.route(1), 0) << "the routing block never ended";
    EXPECT_EQ(connection.picture.lock(3), Lock::theirs);

    connection.reconnect();
    EXPECT_FALSE(connection.protocol.midMessage());
    connection.feed(bytes);
    Connection whole;
    whole.feed(bytes);
    EXPECT_EQ(snapshot(connection.picture), snapshot(whole.picture));
}

TEST(VideohubProtocol, ABadLineChangesNothingAndSaysWhy) {
    const struct {
        const char* block;
        const char* problem;
    } cases[] = {
        {"VIDEO OUTPUT ROUTING:\n7x 2",
         "VIDEO OUTPUT ROUTING line '7x 2' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n-1 2",
         "VIDEO OUTPUT ROUTING line '-1 2' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n 7 2",
         "VIDEO OUTPUT ROUTING line ' 7 2' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n7  2",
         "VIDEO OUTPUT ROUTING line '7  2' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n7 2 ",
         "VIDEO OUTPUT ROUTING line '7 2 ' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n+7 2",
         "VIDEO OUTPUT ROUTING line '+7 2' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n7", "VIDEO OUTPUT ROUTING line '7' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n7 99999999999999999999",
         "VIDEO OUTPUT ROUTING line '7 99999999999999999999' skipped: not OUTPUT INPUT"},
        {"VIDEO OUTPUT ROUTING:\n8 0",
         "VIDEO OUTPUT ROUTING line '8 0' skipped: output 8 beyond the router's 8 outputs"},
        {"VIDEO OUTPUT ROUTING:\n0 8",
         "VIDEO OUTPUT ROUTING line '0 8' skipped: input 8 beyond the router's 8 inputs"},
        {"VIDEO OUTPUT LOCKS:\n3 X", "VIDEO OUTPUT LOCKS line '3 X' skipped: not INDEX U|O|L"},
        {"VIDEO OUTPUT LOCKS:\n3 F", "VIDEO OUTPUT LOCKS line '3 F' skipped: not INDEX U|O|L"},
        {"VIDEO OUTPUT LOCKS:\n3 UU", "VIDEO OUTPUT LOCKS line '3 UU' skipped: not INDEX U|O|L"},
        {"VIDEO OUTPUT LOCKS:\n3", "VIDEO OUTPUT LOCKS line '3' skipped: not INDEX U|O|L"},
        {"VIDEO OUTPUT LOCKS:\n8 U",
         "VIDEO OUTPUT LOCKS line '8 U' skipped: output 8 beyond the router's 8 outputs"},
        {"INPUT LABELS:\nx Cam", "INPUT LABELS line 'x Cam' skipped: not INDEX LABEL"},
        {"INPUT LABELS:\n-1 Cam", "INPUT LABELS line '-1 Cam' skipped: not INDEX LABEL"},
        {"INPUT LABELS:\n 1 Cam", "INPUT LABELS line ' 1 Cam' skipped: not INDEX LABEL"},
        {"OUTPUT LABELS:\n8 Cam\n9 Cam\n12 Cam",
         "OUTPUT LABELS line '8 Cam' skipped: output 8 beyond the router's 8 outputs "
         "(and 2 more like it)"},
        {"VIDEOHUB DEVICE:\nVideo inputs: 5000",
         "VIDEOHUB DEVICE line 'Video inputs: 5000' skipped: more than 4096 ports; the sizes "
         "stay as they were"},
        {"VIDEOHUB DEVICE:\nVideo outputs: x7",
         "VIDEOHUB DEVICE line 'Video outputs: x7' skipped: not a plain decimal count"},
        {"VIDEOHUB DEVICE:\nVideo outputs: -1",
         "VIDEOHUB DEVICE line 'Video outputs: -1' skipped: not a plain decimal count"},
        {"VIDEOHUB DEVICE:\nVideo outputs:",
         "VIDEOHUB DEVICE line 'Video outputs:' skipped: not a plain decimal count"},
    };
    for (const auto& c : cases) {
        Connection connection;
        connection.feed(dump(8, 8));
        const std::string before = snapshot(connection.picture);
        EXPECT_EQ(connection.problemsOf(std::string(c.block) + "\n\n"),
                  std::vector<std::string>{c.problem});
        EXPECT_EQ(snapshot(connection.picture), before) << c.block;
    }
}

// Some servers lose the line feed between two device lines: the count still
// comes through, and the run-together line is reported.
TEST(VideohubProtocol, CountRunTogetherWithTheNextLine) {
    Connection connection;
    connection.feed(dump(8, 8));
    EXPECT_EQ(connection.problemsOf("VIDEOHUB DEVICE:\nVideo inputs: 41Video processing units: "
                                    "0\nVideo outputs: 10Video monitoring outputs: 0\n\n"),
              (std::vector<std::string>{
                  "VIDEOHUB DEVICE line 'Video inputs: 41Video processing units: ...' read as 41: "
                  "text after the count ignored (and 1 more like it)"}));
    EXPECT_EQ(connection.picture.sources(), 41);
    EXPECT_EQ(connection.picture.destinations(), 10);
}

TEST(VideohubProtocol, UnknownBlocksAndLinesAreIgnoredSilently) {
    Connection connection;
    connection.feed(dump(8, 8));
    const std::string before = snapshot(connection.picture);
    for (const char* block :
         {"CONFIGURATION:\nTake Mode: true\n\n", "MONITORING OUTPUT LABELS:\n0 Mon\n\n",
          "VIDEOHUB DEVICE:\nUnique ID: 1\nSerial ports: x\nno colon here\n\n",
          "PROTOCOL PREAMBLE:\nBuild: 7\n\n", "video output routing:\n0 0\n\n", "ACK\n\n"}) {
        EXPECT_TRUE(connection.feed(block).empty()) << block;
        EXPECT_EQ(snapshot(connection.picture), before) << block;
    }
}

TEST(VideohubProtocol, OneAnswerToTheRequestOnTheWireAndNoneToAPing) {
    Connection connection;
    std::string send;
    connection.protocol.route(7, 8, 3, send);
    EXPECT_EQ(send, "VIDEO OUTPUT ROUTING:\n7 2\n\n");
    EXPECT_TRUE(connection.protocol.awaitingAnswer());
    auto answers = only(connection.feed("ACK\n\nACK\n\n"), Kind::answer);
    ASSERT_EQ(answers.size(), 1u) << "the second ACK answers nothing";
    EXPECT_EQ(answers[0].request, 7);
    EXPECT_TRUE(answers[0].done);
    EXPECT_FALSE(connection.protocol.awaitingAnswer());

    send.clear();
    connection.protocol.keepAlive(send);
    EXPECT_EQ(send, "PING:\n\n");
    EXPECT_TRUE(connection.protocol.awaitingAnswer());
    EXPECT_TRUE(connection.feed("ACK\n\n").empty());
    EXPECT_FALSE(connection.protocol.awaitingAnswer());

    connection.protocol.route(9, 1, 1, send);
    answers = only(connection.feed("NAK\n\n"), Kind::answer);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].request, 9);
    EXPECT_FALSE(answers[0].done);
    EXPECT_EQ(answers[0].text, "NAK");
    EXPECT_TRUE(connection.protocol.answersWithAcknowledgement());
}

TEST(VideohubProtocol, AnotherMajorVersionOrAnAbsentDeviceIsAFault) {
    const struct {
        const char* block;
        const char* fault;  // empty: none
    } cases[] = {
        {"PROTOCOL PREAMBLE:\nVersion: 2.8", ""},
        {"PROTOCOL PREAMBLE:\nVersion: 2.10", ""},
        {"PROTOCOL PREAMBLE:\nVersion: 2", ""},
        {"PROTOCOL PREAMBLE:\nVersion: 02.3", ""},
        {"PROTOCOL PREAMBLE:\nVersion: 3.0",
         "speaks protocol version 3.0, which is not understood"},
        {"PROTOCOL PREAMBLE:\nVersion: 1.9",
         "speaks protocol version 1.9, which is not understood"},
        {"PROTOCOL PREAMBLE:\nVersion: x.8",
         "speaks protocol version x.8, which is not understood"},
        {"VIDEOHUB DEVICE:\nDevice present: true", ""},
        {"VIDEOHUB DEVICE:\nDevice present: false", "says \"Device present: false\""},
        {"VIDEOHUB DEVICE:\nDevice present: needs_update", "says \"Device present: needs_update\""},
    };
    for (const auto& c : cases) {
        Connection connection;
        const auto faults = only(connection.feed(std::string(c.block) + "\n\n"), Kind::fault);
        if (*c.fault == '\0') {
            EXPECT_TRUE(faults.empty()) << c.block;
        } else {
            ASSERT_EQ(faults.size(), 1u) << c.block;
            EXPECT_EQ(faults[0].text, c.fault);
        }
    }
}

TEST(VideohubProtocol, LabelsRunToTheEndOfTheLineAndAreCutAtACharacter) {
    Connection connection;
    connection.feed(dump(8, 8));
    // An e-acute (2 bytes) straddles byte 255.
    const std::string longLabel = std::string(254, 'a') + "\xc3\xa9" + "zzz";
    EXPECT_EQ(connection.problemsOf("INPUT LABELS:\n0 Cam  1 \n1 \n2\n3 " + longLabel +
                                    "\n4 Input 5\n\n"),
              std::vector<std::string>{"INPUT LABELS: the label of input 3 was cut to its "
                                       "first 254 bytes"});
    EXPECT_EQ(connection.changes, 4) << "input 5 kept its label";
    const RouterPicture& picture = connection.picture;
    EXPECT_EQ(*picture.label(Side::source, 1), "Cam  1 ");
    EXPECT_EQ(*picture.label(Side::source, 2), "");
    EXPECT_EQ(*picture.label(Side::source, 3), "");
    EXPECT_EQ(*picture.label(Side::source, 4), std::string(254, 'a'));
    connection.feed("VIDEO OUTPUT LOCKS:\n0 U\n\n");
    EXPECT_EQ(connection.changes, 0);
    connection.feed("VIDEO OUTPUT LOCKS:\n0 L\n\n");
    EXPECT_EQ(connection.changes, 1);
}

TEST(VideohubProtocol, NewSizesDropWhatLiesBeyondThem) {
    Connection connection;
    connection.feed(dump(8, 8));
    // Output 7 (destination 8) carries input 2 and is locked; output 3
    // (destination 4) carries input 6 (source 7).
    ASSERT_EQ(connection.picture.route(4), 7);
    ASSERT_EQ(connection.picture.lock(8), Lock::ours);
    connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 4\nVideo outputs: 6\n\n");
    EXPECT_GT(connection.changes, 0);
    const RouterPicture& picture = connection.picture;
    EXPECT_EQ(picture.sources(), 4);
    EXPECT_EQ(picture.destinations(), 6);
    EXPECT_EQ(picture.label(Side::source, 5), nullptr);
    EXPECT_EQ(picture.label(Side::destination, 7), nullptr);
    EXPECT_EQ(picture.lock(8), Lock::none);
    EXPECT_EQ(picture.route(4), 0) << "its source is gone";
    EXPECT_EQ(picture.route(2), 1);
    connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 4\n\n");
    EXPECT_EQ(connection.changes, 0);
    EXPECT_EQ(connection.problemsOf("VIDEO OUTPUT ROUTING:\n0 4\n\n").size(), 1u);
}

TEST(VideohubProtocol, BeforeTheDeviceBlockIndicesUpToMaxPortsAreHeld) {
    Connection connection;
    EXPECT_EQ(connection.problemsOf("INPUT LABELS:\n0 A\n300 B\n4095 C\n4096 D\n\n"),
              std::vector<std::string>{
                  "INPUT LABELS line '4096 D' skipped: input 4096 beyond the 4096 inputs a "
                  "picture holds"});
    EXPECT_TRUE(connection.problemsOf("VIDEO OUTPUT ROUTING:\n2 300\n3 0\n\n").empty());
    const RouterPicture& picture = connection.picture;
    EXPECT_EQ(*picture.label(Side::source, 4096), "C");
    EXPECT_EQ(picture.route(3), 301);

    connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 288\nVideo outputs: 288\n\n");
    EXPECT_EQ(picture.label(Side::source, 301), nullptr);
    EXPECT_EQ(picture.label(Side::source, 4096), nullptr);
    EXPECT_EQ(*picture.label(Side::source, 1), "A");
    EXPECT_EQ(picture.route(3), 0);
    EXPECT_EQ(picture.route(4), 1);

    // After a reconnect the old sizes no longer bound what the new dump brings.
    connection.reconnect();
    EXPECT_TRUE(connection.problemsOf("INPUT LABELS:\n300 B\n\n").empty());
    connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 320\nVideo outputs: 288\n\n");
    EXPECT_EQ(*picture.label(Side::source, 301), "B");
}

}  // namespace
