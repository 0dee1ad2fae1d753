// The Glow reader on arbitrary BER data, read once directly and once sent as
// an S101 message in packets, and framed bytes, of sizes the input chooses:
// the same items either way; a malformed message gives no items; every item
// within the bounds; and what was read, written again, reads back the same.
//
// Input: a control byte (packet data size, byte + 1), then the BER data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "routers/GlowReader.h"
#include "routers/GlowWriter.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"
#include "tests/routers/GlowText.h"

namespace {

using zant::routers::GlowItem;
using zant::routers::GlowReader;
using zant::routers::GlowWriter;
using zant::routers::S101Frame;
using zant::routers::S101Message;
using zant::routers::test::render;
using Bytes = std::vector<std::uint8_t>;

std::string describe(const GlowReader::Result& result) {
    std::string text = result.ok ? "ok\n" : "malformed\n";
    for (const std::string& line : render(result)) text += line + "\n";
    for (const std::string& problem : result.problems) text += "problem " + problem + "\n";
    return text;
}

void checkBounds(const GlowReader::Result& result) {
    fuzzCheck(result.ok || result.items.empty(), "no items from a malformed message");
    fuzzCheck(result.items.size() <= GlowReader::maxItems, "items within maxItems");
    fuzzCheck(result.problems.size() <= GlowReader::maxProblems, "problems within maxProblems");
    for (const GlowItem& item : result.items) {
        fuzzCheck(item.path.size() <= GlowReader::maxPath, "a path within maxPath");
        fuzzCheck(item.kind == GlowItem::Kind::command || !item.path.empty(),
                  "every element has a path");
        fuzzCheck(item.connections.size() <= GlowReader::maxEntries, "connections within bound");
        fuzzCheck(!item.targetCount || *item.targetCount >= 0, "no negative count");
        fuzzCheck(!item.sourceCount || *item.sourceCount >= 0, "no negative count");
        for (const GlowItem::Connection& connection : item.connections) {
            fuzzCheck(connection.sources.size() <= GlowReader::maxEntries, "sources within bound");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t packetData = size_t{data[0]} + 1;
    const Bytes ber(data + 1, data + size);

    const GlowReader::Result direct = GlowReader::read(ber);
    checkBounds(direct);

    const Bytes wire = S101Message::encode(ber, packetData);
    S101Frame frames;
    S101Message messages;
    S101Message::Read read;
    for (size_t at = 0; at < wire.size(); at += packetData) {
        std::vector<Bytes> payloads;
        frames.feed(wire.data() + at, std::min(packetData, wire.size() - at), payloads);
        for (const Bytes& payload : payloads) messages.take(payload, read);
    }
    fuzzCheck(read.messages.size() == 1 && read.messages[0] == ber,
              "the message comes through S101");
    fuzzCheck(describe(GlowReader::read(read.messages[0])) == describe(direct),
              "the same items whole or in packets");

    // Commands are written inside the element they are for, which then
    // reads as an item of its own: leave them out of the round trip.
    std::vector<GlowItem> elements;
    for (const GlowItem& item : direct.items) {
        if (item.kind != GlowItem::Kind::command) elements.push_back(item);
    }
    const GlowReader::Result again =
        GlowReader::read(GlowWriter::encode(elements, GlowWriter::Form::qualified));
    fuzzCheck(again.ok, "what the writer writes reads back");
    std::vector<std::string> expected;
    expected.reserve(elements.size());
    for (const GlowItem& item : elements) expected.push_back(render(item));
    fuzzCheck(render(again) == expected, "the same items written again and read back");
    return 0;
}
