// One connection of the binary router protocol and the picture it keeps, on
// arbitrary bytes from the router, fed once whole and once in pieces the
// input chooses: the same updates, the same bytes sent back and the same
// picture either way, and the picture within its bounds. Moments pass at
// the same bytes in both runs, so resends and the quiet end of the start
// are reached too.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1; bit 6: the clock moves on at a quarter and
// at three quarters of the bytes; bit 7: a reconnect halfway through them),
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
#include "routers/SwP08Protocol.h"

namespace {

using zant::routers::logUpdates;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;
using zant::routers::snapshot;
using zant::routers::SwP08Protocol;

SwP08Protocol::Settings settingsOf(std::uint8_t control) {
    SwP08Protocol::Settings settings;
    // Small sizes given, or none: both ways of learning them.
    if ((control & 0x08u) != 0) {
        settings.sources = 5;
        settings.destinations = 3;
    }
    if ((control & 0x10u) != 0) settings.levels = {1, 0};
    return settings;
}

struct Run {
    explicit Run(std::uint8_t control) : protocol(settingsOf(control)) {}
    std::string log;   // the updates and what applying each did
    std::string sent;  // every byte sent to the router
    SwP08Protocol protocol;
    RouterPicture picture{SwP08Protocol::portLimit, SwP08Protocol::labelLimit};
    int64_t now = 0;
};

void read(const char* bytes, size_t size, const std::vector<size_t>& pieces, std::uint8_t control,
          Run& run) {
    // Where something other than bytes happens, the same in every run.
    const std::vector<size_t> marks = {size / 4, size / 2, size * 3 / 4};
    const bool ticks = (control & 0x40u) != 0;
    const bool reconnect = (control & 0x80u) != 0;
    run.protocol.connected(run.sent);
    run.protocol.tick(run.now, run.sent);
    run.protocol.route(1, 2, 3, run.sent);
    size_t at = 0;
    for (size_t piece = 0; at < size; ++piece) {
        size_t length = std::min(pieces[piece % pieces.size()], size - at);
        for (size_t mark : marks) {
            if (at < mark && at + length > mark) length = mark - at;
        }
        std::vector<RouterUpdate> updates;
        run.protocol.received(bytes + at, length, updates, run.sent);
        at += length;
        logUpdates(updates, run.picture, run.log);
        if (ticks && (at == marks[0] || at == marks[2])) {
            run.now += SwP08Protocol::resendMs;
            run.protocol.tick(run.now, run.sent);
            run.log += "tick\n";
        }
        if (reconnect && at == marks[1]) {
            run.protocol.connected(run.sent);
            run.picture.startAgain();
            run.log += "reconnect\n";
        }
    }
    run.log += run.protocol.midMessage() ? "mid message\n" : "between messages\n";
    run.log += run.protocol.awaitingAnswer() ? "awaiting\n" : "not awaiting\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPieces input;
    if (!input.read(data, size)) return 0;

    Run whole(input.control);
    read(input.text(), input.size, input.whole(), input.control, whole);
    Run split(input.control);
    read(input.text(), input.size, input.pieces, input.control, split);
    fuzzCheck(whole.log == split.log, "the same updates in any pieces");
    fuzzCheck(whole.sent == split.sent, "the same bytes sent in any pieces");
    fuzzCheck(snapshot(whole.picture, SwP08Protocol::portLimit, SwP08Protocol::labelLimit) ==
                  snapshot(split.picture, SwP08Protocol::portLimit, SwP08Protocol::labelLimit),
              "the same picture in any pieces");
    return 0;
}
