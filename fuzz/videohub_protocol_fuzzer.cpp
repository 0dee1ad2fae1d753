// The Videohub protocol and the picture it keeps on arbitrary bytes, fed once
// whole and once in pieces the input chooses: the same updates and the same
// picture either way, and the picture within its bounds.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1; bit 7: a reconnect halfway through the bytes),
// the piece lengths, then the bytes from the router.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPieces.h"
#include "fuzz/RouterPictureLog.h"
#include "routers/RouterPicture.h"
#include "routers/VideohubProtocol.h"

namespace {

using zant::routers::logUpdates;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;
using zant::routers::snapshot;
using zant::routers::VideohubProtocol;

struct Run {
    std::string log;  // the updates and what applying each did
    VideohubProtocol protocol;
    RouterPicture picture{VideohubProtocol::portLimit, VideohubProtocol::labelLimit};
};

void read(const char* bytes, size_t size, const std::vector<size_t>& pieces, bool reconnect,
          Run& run) {
    std::string send;
    size_t at = 0;
    bool reconnected = !reconnect;
    for (size_t piece = 0; at < size; ++piece) {
        const size_t half = size / 2;
        size_t length = std::min(pieces[piece % pieces.size()], size - at);
        // The reconnect falls at the same byte however the bytes are cut.
        if (!reconnected && at < half && at + length > half) length = half - at;
        std::vector<RouterUpdate> updates;
        run.protocol.received(bytes + at, length, updates, send);
        at += length;
        // What a piece completes is logged per message, so that pieces agree.
        logUpdates(updates, run.picture, run.log);
        if (!reconnected && at == half) {
            reconnected = true;
            run.protocol.connected(send);
            run.picture.startAgain();
            run.log += "reconnect\n";
        }
    }
    fuzzCheck(send.empty(), "nothing answered to the router");
    run.log += run.protocol.midMessage() ? "mid message\n" : "between messages\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPieces input;
    if (!input.read(data, size)) return 0;
    const bool reconnect = (input.control & 0x80u) != 0;

    Run whole;
    read(input.text(), input.size, input.whole(), reconnect, whole);
    Run split;
    read(input.text(), input.size, input.pieces, reconnect, split);
    fuzzCheck(whole.log == split.log, "the same updates in any pieces");
    fuzzCheck(
        snapshot(whole.picture, VideohubProtocol::portLimit, VideohubProtocol::labelLimit) ==
            snapshot(split.picture, VideohubProtocol::portLimit, VideohubProtocol::labelLimit),
        "the same picture in any pieces");
    return 0;
}
