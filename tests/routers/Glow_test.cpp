// Glow through the writer and the reader: both element forms, definite and
// indefinite lengths, multi-packet messages; unknown elements and fields
// skipped, absent fields left unset, broken messages dropped whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "routers/BerReader.h"
#include "routers/BerWriter.h"
#include "routers/GlowItem.h"
#include "routers/GlowReader.h"
#include "routers/GlowWriter.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"
#include "tests/routers/GlowText.h"

namespace {

using zant::routers::BerElement;
using zant::routers::BerReader;
using zant::routers::BerWriter;
using zant::routers::GlowItem;
using zant::routers::GlowReader;
using zant::routers::GlowWriter;
using zant::routers::S101Frame;
using zant::routers::S101Message;
using Bytes = std::vector<std::uint8_t>;
using Path = std::vector<std::uint32_t>;
using zant::routers::test::render;

// The same tree with every constructed element's length indefinite, as
// common encoders send it.
Bytes indefinite(const std::uint8_t* data, size_t size) {
    Bytes out;
    BerReader reader(data, size);
    BerElement element;
    while (reader.next(element)) {
        const std::uint8_t* header = element.contents;
        // Back from the contents over the length to the tag: the tags here
        // are one byte, which is what this helper is for.
        size_t lengthBytes = 1;
        if (element.length >= 0x80) {
            for (size_t rest = element.length; rest != 0; rest >>= 8) ++lengthBytes;
        }
        header -= lengthBytes + 1;
        out.push_back(header[0]);
        if (element.tag.constructed) {
            out.push_back(0x80);
            const Bytes inner = indefinite(element.contents, element.length);
            out.insert(out.end(), inner.begin(), inner.end());
            out.push_back(0x00);
            out.push_back(0x00);
        } else {
            out.insert(out.end(), header + 1, element.contents + element.length);
        }
    }
    return out;
}

std::vector<GlowItem> sampleTree() {
    GlowItem router;
    router.path = {1};
    router.identifier = "router";
    GlowItem gain;
    gain.kind = GlowItem::Kind::parameter;
    gain.path = {1, 3};
    gain.identifier = "gain";
    gain.value = GlowItem::Value::ofInteger(-20);
    GlowItem name;
    name.kind = GlowItem::Kind::parameter;
    name.path = {1, 2, 1, 200};
    name.value = GlowItem::Value::ofString("Cam \xC3\xA9 1");
    GlowItem video;
    video.kind = GlowItem::Kind::matrix;
    video.path = {1, 1};
    video.identifier = "video";
    video.description = "Video matrix";
    video.matrixType = GlowItem::oneToN;
    video.addressingMode = GlowItem::nonLinear;
    video.targetCount = 3;
    video.sourceCount = 2;
    video.targets = Path{5, 200, 70000};
    video.sources = Path{0, 9};
    video.labels = {{{1, 2}, "Primary"}, {{1, 4}, "Short"}};
    video.connections = {{5, {9}, GlowItem::absolute, GlowItem::modified},
                         {200, {}, GlowItem::absolute, GlowItem::tally},
                         {70000, {0, 9}, GlowItem::connect, GlowItem::locked}};
    GlowItem walk;
    walk.kind = GlowItem::Kind::command;
    walk.path = {1, 1};
    walk.commandOn = GlowItem::Kind::matrix;
    walk.command = GlowItem::getDirectory;
    return {router, gain, name, video, walk};
}

const std::string sampleMatrix =
    "matrix 1.1 id=video desc=Video matrix type=0 mode=1 targets=3 sources=2 "
    "targetList=[5.200.70000] sourceList=[0.9] label=1.2:Primary label=1.4:Short "
    "conn=5<[9]op0d1 conn=200<[]op0d0 conn=70000<[0.9]op1d3";
const std::vector<std::string> sampleLines = {
    "node 1 id=router",
    "parameter 1.3 id=gain value=-20",
    "parameter 1.2.1.200 value='Cam \xC3\xA9 1'",
    sampleMatrix,
    "command 1.1 cmd=32 on matrix",
};

TEST(Glow, RoundTripsInBothFormsAndBothLengthForms) {
    for (const auto form : {GlowWriter::Form::qualified, GlowWriter::Form::nested}) {
        const Bytes definite = GlowWriter::encode(sampleTree(), form);
        for (const Bytes& ber : {definite, indefinite(definite.data(), definite.size())}) {
            const GlowReader::Result result = GlowReader::read(ber);
            EXPECT_TRUE(result.ok);
            EXPECT_TRUE(result.problems.empty());
            // Elements that only lead to the items (the steps down of the
            // nested form, the matrix around the command) hold nothing more.
            std::vector<std::string> lines;
            for (const std::string& line : render(result)) {
                if (std::count(line.begin(), line.end(), ' ') > 1) lines.push_back(line);
            }
            EXPECT_EQ(lines, sampleLines);
        }
    }
}

TEST(Glow, WritesTheRequestsOfAMatrixClient) {
    using Form = GlowWriter::Form;
    // A Root with one getDirectory command.
    EXPECT_EQ(
        GlowWriter::getDirectory({}, GlowItem::Kind::node, Form::nested),
        (Bytes{0x60, 0x0B, 0x6B, 0x09, 0xA0, 0x07, 0x62, 0x05, 0xA0, 0x03, 0x02, 0x01, 0x20}));
    const struct {
        Bytes ber;
        std::vector<std::string> lines;
    } cases[] = {
        {GlowWriter::getDirectory({1, 1}, GlowItem::Kind::matrix, Form::qualified),
         {"matrix 1.1", "command 1.1 cmd=32 on matrix"}},
        {GlowWriter::getDirectory({1, 2}, GlowItem::Kind::node, Form::nested),
         {"node 1", "node 1.2", "command 1.2 cmd=32 on node"}},
        {GlowWriter::connect({1, 1}, {3, {7}, GlowItem::absolute, GlowItem::tally}, Form::nested),
         {"node 1", "matrix 1.1 conn=3<[7]op0d0"}},
        {GlowWriter::connect({4}, {0, {0}, GlowItem::absolute, GlowItem::tally}, Form::qualified),
         {"matrix 4 conn=0<[0]op0d0"}},
    };
    for (const auto& c : cases) EXPECT_EQ(render(GlowReader::read(c.ber)), c.lines);
}

TEST(Glow, SkipsUnknownElementsAndFieldsAndLeavesAbsentFieldsUnset) {
    BerWriter writer;
    writer.beginApplication(0);
    writer.beginApplication(11);
    // A function, which a matrix client has no use for.
    writer.beginContext(0);
    writer.beginApplication(19);
    writer.contextInteger(0, 9);
    writer.end();
    writer.end();
    // A matrix update with connections only, amid unknown fields.
    writer.beginContext(0);
    writer.beginApplication(17);
    writer.contextRelativeOid(0, {1, 1});
    writer.contextUtf8(40, "future field");
    writer.beginContext(1);
    writer.beginSet();
    writer.contextInteger(6, 8);
    writer.contextUtf8(31, "unknown");
    writer.end();
    writer.end();
    writer.beginContext(5);
    writer.beginSequence();
    writer.beginContext(0);
    writer.beginApplication(16);
    writer.contextInteger(3, GlowItem::modified);
    writer.contextInteger(9, 1);
    writer.contextInteger(0, 4);
    writer.end();
    writer.end();
    writer.beginContext(0);
    writer.beginApplication(99);  // not a connection
    writer.end();
    writer.end();
    writer.end();
    writer.end();
    writer.end();
    writer.end();
    writer.end();
    // An invocation result after the elements.
    writer.beginApplication(23);
    writer.contextInteger(0, 1);
    writer.end();
    writer.end();
    ASSERT_EQ(writer.openContainers(), 0u);
    const GlowReader::Result result = GlowReader::read(writer.take());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(render(result), std::vector<std::string>{"matrix 1.1 conn=4<[]op0d1"});
    ASSERT_EQ(result.items.size(), 1u);
    EXPECT_FALSE(result.items[0].targetCount || result.items[0].sourceCount ||
                 result.items[0].matrixType || result.items[0].identifier ||
                 result.items[0].targets);
}

TEST(Glow, SkipsElementsWithoutANumberAndDropsMalformedMessagesWhole) {
    BerWriter writer;
    writer.beginApplication(0);
    writer.beginApplication(11);
    writer.beginContext(0);
    writer.beginApplication(3);
    writer.contextUtf8(0, "not a number");
    writer.end();
    writer.end();
    writer.beginContext(0);
    writer.beginApplication(3);
    writer.contextInteger(0, 2);
    writer.end();
    writer.end();
    writer.end();
    writer.end();
    GlowReader::Result result = GlowReader::read(writer.take());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(render(result), std::vector<std::string>{"node 2"});
    EXPECT_EQ(result.problems,
              std::vector<std::string>{"an element without a sound number or path was skipped"});

    // Cut at every byte, in both length forms: nothing half-read comes out.
    const Bytes definite = GlowWriter::encode(sampleTree(), GlowWriter::Form::nested);
    for (const Bytes& whole : {definite, indefinite(definite.data(), definite.size())}) {
        for (size_t size = 0; size < whole.size(); ++size) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            result = GlowReader::read(cut);
            EXPECT_EQ(result.ok, size == 0) << size;
            EXPECT_TRUE(result.items.empty()) << size;
        }
    }
}

TEST(Glow, AMessageInManyPacketsReadsAsOne) {
    std::vector<GlowItem> items;
    for (std::uint32_t i = 0; i < 300; ++i) {
        GlowItem label;
        label.kind = GlowItem::Kind::parameter;
        label.path = {1, 2, 1, i};
        label.value = GlowItem::Value::ofString("Target " + std::to_string(i + 1));
        items.push_back(label);
    }
    const Bytes ber = GlowWriter::encode(items, GlowWriter::Form::qualified);
    const Bytes wire = S101Message::encode(ber, 100);
    S101Frame frames;
    S101Message messages;
    S101Message::Read read;
    for (size_t at = 0; at < wire.size(); at += 7) {
        std::vector<Bytes> payloads;
        frames.feed(wire.data() + at, std::min<size_t>(7, wire.size() - at), payloads);
        for (const Bytes& payload : payloads) messages.take(payload, read);
    }
    ASSERT_EQ(read.messages.size(), 1u);
    const GlowReader::Result result = GlowReader::read(read.messages[0]);
    ASSERT_EQ(result.items.size(), 300u);
    EXPECT_EQ(render(result.items[299]), "parameter 1.2.1.299 value='Target 300'");
}

}  // namespace
