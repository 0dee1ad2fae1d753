// The binary router protocol's framer, messages and router-side peer on
// arbitrary bytes, fed once whole and once in pieces the input chooses: the
// same frames, faults and answers either way; every frame within its bounds;
// and every message read, when written again, reads back the same.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1), the piece lengths, then the bytes on the wire.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPieces.h"
#include "peers/swp08/SwP08PeerState.h"
#include "routers/SwP08Frame.h"
#include "routers/SwP08Message.h"

namespace {

using zant::routers::SwP08Frame;
using zant::routers::SwP08Message;
using zant::routers::SwP08PeerState;

bool same(const SwP08Message& a, const SwP08Message& b) {
    return a.kind == b.kind && a.extended == b.extended && a.matrix == b.matrix &&
           a.level == b.level && a.destination == b.destination && a.source == b.source &&
           a.status == b.status && a.lengthCode == b.lengthCode && a.first == b.first &&
           a.sources == b.sources && a.names == b.names;
}

void checkMessage(const SwP08Frame::Bytes& data) {
    SwP08Message message;
    if (SwP08Message::decode(data, message) != SwP08Message::Decoded::ok) return;
    const SwP08Frame::Bytes again = message.encode();
    // A liberal read may hold what one message cannot carry (a dump past the
    // last number, more names than a reply holds): then there is nothing to write.
    if (again.empty()) return;
    fuzzCheck(again.size() <= SwP08Frame::maxData, "a message fits a frame");
    SwP08Message read;
    fuzzCheck(SwP08Message::decode(again, read) == SwP08Message::Decoded::ok,
              "a written message reads");
    fuzzCheck(same(message, read), "a message reads back as it was written");
}

// Frames and faults, and the peer's answers tagged by receiver.
std::string run(const std::uint8_t* bytes, std::size_t size,
                const std::vector<std::size_t>& pieces) {
    SwP08Frame framer;
    SwP08PeerState peer;
    const int client = peer.connect();
    std::vector<SwP08Frame::Event> events;
    std::string answers;
    std::size_t at = 0;
    for (std::size_t piece = 0; at < size; ++piece) {
        const std::size_t length = std::min(pieces[piece % pieces.size()], size - at);
        framer.feed(bytes + at, length, events);
        for (const SwP08PeerState::Send& send : peer.receive(client, bytes + at, length)) {
            for (std::uint8_t byte : send.bytes) {
                answers += send.toAll ? 'A' : 'C';
                answers += static_cast<char>(byte);
            }
        }
        at += length;
    }
    std::string log;
    for (const SwP08Frame::Event& event : events) {
        log += std::to_string(static_cast<int>(event.kind)) + "/" +
               std::to_string(static_cast<int>(event.fault)) + ":";
        fuzzCheck(event.data.size() <= SwP08Frame::maxData, "a frame within maxData");
        fuzzCheck(event.kind == SwP08Frame::Event::Kind::frame || event.data.empty(),
                  "only a well-formed frame has data");
        fuzzCheck(event.kind != SwP08Frame::Event::Kind::frame || !event.data.empty(),
                  "a well-formed frame has a command");
        if (event.kind == SwP08Frame::Event::Kind::frame) {
            log.append(event.data.begin(), event.data.end());
            checkMessage(event.data);
        }
        log += "\n";
    }
    fuzzCheck(framer.skipped() <= size, "no more skipped than fed");
    fuzzCheck(peer.received().size() <= SwP08PeerState::maxReceived, "received within bounds");
    return log + (framer.midFrame() ? "mid frame\n" : "") + answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPieces input;
    if (!input.read(data, size)) return 0;
    const std::string whole = run(input.bytes, input.size, input.whole());
    fuzzCheck(whole == run(input.bytes, input.size, input.pieces),
              "the same frames and answers in any pieces");
    return 0;
}
