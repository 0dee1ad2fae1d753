// The S101 frame reader and message assembler on arbitrary bytes, fed once
// whole and once in pieces the input chooses: the same payloads, messages,
// replies and problems either way, every payload and message within its
// bound, and every payload framed again reads back as itself.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1), the piece lengths, then the bytes from a peer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPieces.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"

namespace {

using zant::routers::S101Frame;
using zant::routers::S101Message;
using Bytes = std::vector<std::uint8_t>;

std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// Problems are kept up to a bound between two takes, oldest first: taken
// after every piece or once at the end, the first ones are the same.
void take(const std::vector<std::string>& problems, std::string& log) {
    for (const std::string& problem : problems) {
        if (static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >=
            S101Frame::maxProblems) {
            return;
        }
        log += problem + "\n";
    }
}

std::string read(const std::uint8_t* bytes, size_t size, const std::vector<size_t>& pieces) {
    S101Frame frames;
    S101Message messages;
    std::string log;
    // Problems apart from the payloads: when they are taken depends on the
    // pieces, which ones and their order must not.
    std::string frameProblems;
    std::string messageProblems;
    size_t at = 0;
    for (size_t piece = 0; at < size; ++piece) {
        const size_t length = std::min(pieces[piece % pieces.size()], size - at);
        std::vector<Bytes> payloads;
        frames.feed(bytes + at, length, payloads);
        at += length;
        for (const Bytes& payload : payloads) {
            fuzzCheck(payload.size() + 2 <= S101Frame::maxFrame, "a payload within maxFrame");
            std::vector<Bytes> again;
            S101Frame check;
            const Bytes wire = S101Frame::encode(payload);
            check.feed(wire.data(), wire.size(), again);
            fuzzCheck(again.size() == 1 && again[0] == payload,
                      "a payload framed again reads back");
            log += "payload " + hex(payload) + "\n";
            S101Message::Read read;
            messages.take(payload, read);
            for (const Bytes& message : read.messages) {
                fuzzCheck(message.size() <= S101Message::maxMessage, "a message within maxMessage");
                log += "message " + hex(message) + "\n";
            }
            log += "reply " + hex(read.reply) + (read.keepAliveAnswered ? " answered" : "") + "\n";
        }
        take(frames.takeProblems(), frameProblems);
        take(messages.takeProblems(), messageProblems);
    }
    log += frameProblems + messageProblems;
    log += frames.midFrame() ? "mid frame\n" : "between frames\n";
    log += messages.midMessage() ? "mid message\n" : "between messages\n";
    return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPieces input;
    if (!input.read(data, size)) return 0;
    const std::string whole = read(input.bytes, input.size, input.whole());
    const std::string split = read(input.bytes, input.size, input.pieces);
    fuzzCheck(whole == split, "the same payloads, messages and problems in any pieces");
    return 0;
}
