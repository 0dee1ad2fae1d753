// The picture of a router built from its dump and change blocks: what it
// takes, what it refuses without changing, and what each block reports.
#include "hosting/VideohubPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using zant::hosting::VideohubBlock;
using zant::hosting::VideohubPicture;
using zant::hosting::VideohubReader;
using Lock = VideohubPicture::Lock;
using Reply = VideohubPicture::Reply;

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
    VideohubReader reader;
    VideohubPicture picture;

    std::vector<VideohubPicture::Applied> feed(const std::string& bytes, size_t piece = 1460) {
        std::vector<VideohubBlock> blocks;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at), blocks);
        }
        std::vector<VideohubPicture::Applied> applied;
        applied.reserve(blocks.size());
        for (const VideohubBlock& block : blocks) applied.push_back(picture.apply(block));
        return applied;
    }
    // The problems of the one block `bytes` holds.
    std::vector<std::string> problemsOf(const std::string& bytes) {
        const auto applied = feed(bytes);
        return applied.size() == 1 ? applied[0].problems : std::vector<std::string>{"no block"};
    }
};

// Everything the picture holds, as text.
std::string snapshot(const VideohubPicture& picture) {
    std::string text = picture.version() + "|" + picture.devicePresent() + "|" +
                       picture.modelName() + "|" + picture.friendlyName() + "|" +
                       std::to_string(picture.inputs()) + "x" + std::to_string(picture.outputs());
    for (int i = 0; i < VideohubPicture::maxPorts; ++i) {
        if (const std::string* label = picture.inputLabel(i)) {
            text += " i" + std::to_string(i) + "=" + *label;
        }
        if (const std::string* label = picture.outputLabel(i)) {
            text += " o" + std::to_string(i) + "=" + *label;
        }
        if (picture.route(i) >= 0) {
            text += " r" + std::to_string(i) + "=" + std::to_string(picture.route(i));
        }
        if (picture.lock(i) != Lock::unlocked) {
            text += " l" + std::to_string(i) + static_cast<char>(picture.lock(i));
        }
    }
    return text;
}

TEST(VideohubPicture, AWholeDumpThenTheSameDumpAfterAReconnect) {
    Connection connection;
    const std::string bytes = dump(288, 288);
    auto applied = connection.feed(bytes);
    ASSERT_EQ(applied.size(), 8u);
    for (const auto& block : applied) EXPECT_TRUE(block.problems.empty()) << block.problems[0];
    EXPECT_TRUE(applied[1].deviceChanged);
    EXPECT_FALSE(applied[1].sizesChanged) << "sizes given the first time";
    EXPECT_TRUE(applied[2].labelsChanged && applied[3].labelsChanged && applied[4].locksChanged);
    ASSERT_EQ(applied[5].routes.size(), 288u);
    const VideohubPicture& picture = connection.picture;
    EXPECT_TRUE(picture.sizesKnown() && picture.routingKnown() && picture.versionUnderstood());
    EXPECT_EQ(picture.version() + "|" + picture.devicePresent() + "|" + picture.modelName() + "|" +
                  picture.friendlyName(),
              "2.8|true|Router 288|Studio A");
    ASSERT_EQ(picture.inputs(), 288);
    ASSERT_EQ(picture.outputs(), 288);
    for (int i = 0; i < 288; ++i) {
        ASSERT_NE(picture.inputLabel(i), nullptr);
        ASSERT_NE(picture.outputLabel(i), nullptr);
        EXPECT_EQ(*picture.inputLabel(i), "Input " + std::to_string(i + 1));
        EXPECT_EQ(*picture.outputLabel(i), "Out " + std::to_string(i + 1));
        EXPECT_EQ(static_cast<char>(picture.lock(i)), lockLetter(i));
        EXPECT_EQ(picture.route(i), routeOf(i, 288));
        EXPECT_EQ(applied[5].routes[i].output, i);
        EXPECT_EQ(applied[5].routes[i].input, routeOf(i, 288));
        EXPECT_TRUE(applied[5].routes[i].changed);
    }
    EXPECT_EQ(picture.inputLabel(288), nullptr);
    EXPECT_EQ(picture.route(288), -1);
    EXPECT_EQ(picture.route(-1), -1);

    const std::string before = snapshot(picture);
    connection.reader.reset();
    connection.picture.startAgain();
    EXPECT_FALSE(picture.sizesKnown() || picture.routingKnown());
    EXPECT_EQ(snapshot(picture), before) << "kept across the reconnect";
    applied = connection.feed(bytes, 1);
    for (const auto& block : applied) {
        EXPECT_FALSE(block.sizesChanged || block.labelsChanged || block.locksChanged);
        for (const auto& route : block.routes) EXPECT_FALSE(route.changed) << route.output;
    }
    EXPECT_TRUE(picture.sizesKnown() && picture.routingKnown());
    EXPECT_EQ(snapshot(picture), before);
}

TEST(VideohubPicture, AConnectionCutMidBlockKeepsOnlyTheBlocksThatEnded) {
    const std::string bytes = dump(16, 16);
    Connection connection;
    connection.feed(bytes.substr(0, bytes.find("12 ", bytes.find("ROUTING"))));
    EXPECT_TRUE(connection.reader.midBlock());
    EXPECT_FALSE(connection.picture.routingKnown());
    EXPECT_EQ(connection.picture.route(0), -1) << "the routing block never ended";
    EXPECT_EQ(static_cast<char>(connection.picture.lock(2)), 'L');

    connection.reader.reset();
    connection.picture.startAgain();
    connection.feed(bytes);
    EXPECT_FALSE(connection.reader.midBlock());
    Connection whole;
    whole.feed(bytes);
    EXPECT_EQ(snapshot(connection.picture), snapshot(whole.picture));
}

TEST(VideohubPicture, ABadLineChangesNothingAndSaysWhy) {
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
TEST(VideohubPicture, CountRunTogetherWithTheNextLine) {
    Connection connection;
    connection.feed(dump(8, 8));
    EXPECT_EQ(connection.problemsOf("VIDEOHUB DEVICE:\nVideo inputs: 41Video processing units: "
                                    "0\nVideo outputs: 10Video monitoring outputs: 0\n\n"),
              (std::vector<std::string>{
                  "VIDEOHUB DEVICE line 'Video inputs: 41Video processing units: ...' read as 41: "
                  "text after the count ignored (and 1 more like it)"}));
    EXPECT_EQ(connection.picture.inputs(), 41);
    EXPECT_EQ(connection.picture.outputs(), 10);
}

TEST(VideohubPicture, UnknownBlocksAndLinesAreIgnoredSilently) {
    Connection connection;
    connection.feed(dump(8, 8));
    const std::string before = snapshot(connection.picture);
    for (const char* block :
         {"CONFIGURATION:\nTake Mode: true\n\n", "MONITORING OUTPUT LABELS:\n0 Mon\n\n",
          "VIDEOHUB DEVICE:\nUnique ID: 1\nSerial ports: x\nno colon here\n\n",
          "PROTOCOL PREAMBLE:\nBuild: 7\n\n", "video output routing:\n0 0\n\n"}) {
        for (const auto& applied : connection.feed(block)) {
            EXPECT_TRUE(applied.problems.empty()) << block;
            EXPECT_EQ(applied.reply, Reply::none) << block;
        }
        EXPECT_EQ(snapshot(connection.picture), before) << block;
    }
}

TEST(VideohubPicture, RepliesAndRequests) {
    Connection connection;
    const auto applied = connection.feed("ACK\n\nNAK\n\nPING:\n\n");
    ASSERT_EQ(applied.size(), 3u);
    EXPECT_EQ(applied[0].reply, Reply::ack);
    EXPECT_EQ(applied[1].reply, Reply::nak);
    EXPECT_EQ(applied[2].reply, Reply::none);
    EXPECT_EQ(VideohubPicture::routeRequest(7, 2), "VIDEO OUTPUT ROUTING:\n7 2\n\n");
    EXPECT_EQ(VideohubPicture::pingRequest(), "PING:\n\n");
}

TEST(VideohubPicture, VersionsOfAnotherMajorAreNotUnderstood) {
    const struct {
        const char* version;
        bool understood;
    } cases[] = {{"2.8", true},  {"2.10", true}, {"2", true},    {"02.3", true},
                 {"3.0", false}, {"1.9", false}, {"x.8", false}, {"", false}};
    for (const auto& c : cases) {
        Connection connection;
        EXPECT_TRUE(connection.picture.versionUnderstood()) << "before any version";
        connection.feed(std::string("PROTOCOL PREAMBLE:\nVersion: ") + c.version + "\n\n");
        EXPECT_EQ(connection.picture.version(), c.version);
        EXPECT_EQ(connection.picture.versionUnderstood(), c.understood) << c.version;
    }
}

TEST(VideohubPicture, LabelsRunToTheEndOfTheLineAndAreCutAtACharacter) {
    Connection connection;
    connection.feed(dump(8, 8));
    // An e-acute (2 bytes) straddles byte 255.
    const std::string longLabel = std::string(254, 'a') + "\xc3\xa9" + "zzz";
    const auto applied =
        connection.feed("INPUT LABELS:\n0 Cam  1 \n1 \n2\n3 " + longLabel + "\n4 Input 5\n\n");
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_TRUE(applied[0].labelsChanged);
    EXPECT_EQ(applied[0].problems,
              std::vector<std::string>{"INPUT LABELS: the label of input 3 was cut to its "
                                       "first 254 bytes"});
    const VideohubPicture& picture = connection.picture;
    EXPECT_EQ(*picture.inputLabel(0), "Cam  1 ");
    EXPECT_EQ(*picture.inputLabel(1), "");
    EXPECT_EQ(*picture.inputLabel(2), "");
    EXPECT_EQ(*picture.inputLabel(3), std::string(254, 'a'));
    EXPECT_FALSE(connection.feed("INPUT LABELS:\n4 Input 5\n\n")[0].labelsChanged)
        << "the same label again";
    EXPECT_FALSE(connection.feed("VIDEO OUTPUT LOCKS:\n0 U\n\n")[0].locksChanged);
    EXPECT_TRUE(connection.feed("VIDEO OUTPUT LOCKS:\n0 L\n\n")[0].locksChanged);
}

TEST(VideohubPicture, ARouteReportSaysWhetherTheOutputChanged) {
    Connection connection;
    connection.feed(dump(8, 8));
    const int held = connection.picture.route(0);
    const int other = (held + 1) % 8;
    const auto applied =
        connection.feed("VIDEO OUTPUT ROUTING:\n0 " + std::to_string(held) + "\n0 " +
                        std::to_string(other) + "\nbad\n0 " + std::to_string(other) + "\n\n");
    ASSERT_EQ(applied.size(), 1u);
    const auto& routes = applied[0].routes;
    ASSERT_EQ(routes.size(), 3u) << "the bad line reports no route";
    EXPECT_FALSE(routes[0].changed);
    EXPECT_TRUE(routes[1].changed);
    EXPECT_FALSE(routes[2].changed);
    EXPECT_EQ(routes[1].input, other);
    EXPECT_EQ(connection.picture.route(0), other);
}

TEST(VideohubPicture, NewSizesDropWhatLiesBeyondThem) {
    Connection connection;
    connection.feed(dump(8, 8));
    // Output 7 carries input 2 and is locked; output 3 carries input 6.
    ASSERT_EQ(connection.picture.route(3), 6);
    ASSERT_EQ(connection.picture.lock(7), Lock::ours);
    const auto applied = connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 4\nVideo outputs: 6\n\n");
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_TRUE(applied[0].sizesChanged && applied[0].labelsChanged && applied[0].locksChanged);
    const VideohubPicture& picture = connection.picture;
    EXPECT_EQ(picture.inputs(), 4);
    EXPECT_EQ(picture.outputs(), 6);
    EXPECT_EQ(picture.inputLabel(4), nullptr);
    EXPECT_EQ(picture.outputLabel(6), nullptr);
    EXPECT_EQ(picture.lock(7), Lock::unlocked);
    EXPECT_EQ(picture.route(3), -1) << "its input is gone";
    EXPECT_EQ(picture.route(1), 0);
    EXPECT_FALSE(connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 4\n\n")[0].sizesChanged);
    EXPECT_EQ(connection.problemsOf("VIDEO OUTPUT ROUTING:\n0 4\n\n").size(), 1u);
}

TEST(VideohubPicture, BeforeTheDeviceBlockIndicesUpToMaxPortsAreHeld) {
    Connection connection;
    EXPECT_EQ(connection.problemsOf("INPUT LABELS:\n0 A\n300 B\n4095 C\n4096 D\n\n"),
              std::vector<std::string>{
                  "INPUT LABELS line '4096 D' skipped: input 4096 beyond the 4096 inputs a "
                  "picture holds"});
    EXPECT_TRUE(connection.problemsOf("VIDEO OUTPUT ROUTING:\n2 300\n3 0\n\n").empty());
    const VideohubPicture& picture = connection.picture;
    EXPECT_EQ(*picture.inputLabel(4095), "C");
    EXPECT_EQ(picture.route(2), 300);

    const auto applied =
        connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 288\nVideo outputs: 288\n\n");
    EXPECT_FALSE(applied[0].sizesChanged) << "sizes given the first time";
    EXPECT_TRUE(applied[0].labelsChanged);
    EXPECT_EQ(picture.inputLabel(300), nullptr);
    EXPECT_EQ(picture.inputLabel(4095), nullptr);
    EXPECT_EQ(*picture.inputLabel(0), "A");
    EXPECT_EQ(picture.route(2), -1);
    EXPECT_EQ(picture.route(3), 0);

    // After a reconnect the old sizes no longer bound what the new dump brings.
    connection.picture.startAgain();
    EXPECT_TRUE(connection.problemsOf("INPUT LABELS:\n300 B\n\n").empty());
    connection.feed("VIDEOHUB DEVICE:\nVideo inputs: 320\nVideo outputs: 288\n\n");
    EXPECT_EQ(*picture.inputLabel(300), "B");
}

}  // namespace
