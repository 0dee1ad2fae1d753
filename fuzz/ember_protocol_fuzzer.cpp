// The Ember+ matrix client and the picture it keeps on arbitrary bytes from
// a provider, fed once whole and once in pieces the input chooses: the same
// updates, the same bytes sent back and the same picture either way, and the
// picture within its bounds. The walk's first answers are the in-tree
// provider's, so that the bytes reach the matrix stage too.
//
// Input: a control byte (bits 0-2: how many piece lengths follow, each one
// byte, a length of byte + 1; bit 6: start from the matrix stage; bit 7: a
// reconnect halfway through the bytes), the piece lengths, then the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPieces.h"
#include "peers/ember/EmberProviderState.h"
#include "routers/EmberProtocol.h"
#include "routers/RouterPicture.h"

namespace {

using zant::routers::EmberProtocol;
using zant::routers::EmberProviderOptions;
using zant::routers::EmberProviderState;
using zant::routers::RouterPicture;
using zant::routers::RouterUpdate;
using zant::routers::Side;

struct Run {
    std::string log;  // the updates and what applying each did
    std::string sent;
    EmberProtocol protocol{{"router", "video"}};
    RouterPicture picture{EmberProtocol::portLimit, EmberProtocol::labelLimit};
};

void record(Run& run, const std::vector<RouterUpdate>& updates) {
    for (const RouterUpdate& update : updates) {
        const bool changed = run.picture.apply(update);
        run.log += std::to_string(static_cast<int>(update.kind)) + " " +
                   std::to_string(static_cast<int>(update.side)) + " " +
                   std::to_string(update.index) + " " + std::to_string(update.sources) + "x" +
                   std::to_string(update.destinations) + " " + std::to_string(update.destination) +
                   "<" + std::to_string(update.source) + " " + std::to_string(update.request) +
                   " " + update.text + (changed ? " !" : "") + "\n";
    }
}

// The provider's answers to the start, so that fuzzed bytes meet a matrix.
void walkToMatrix(Run& run) {
    EmberProviderOptions options;
    options.targets = 4;
    options.sources = 4;
    EmberProviderState provider(options);
    const int consumer = provider.connect();
    std::string send;
    run.protocol.connected(send);
    for (int round = 0; round < 8 && !send.empty(); ++round) {
        const auto sends = provider.receive(
            consumer, reinterpret_cast<const std::uint8_t*>(send.data()), send.size());
        send.clear();
        for (const auto& each : sends) {
            std::vector<RouterUpdate> updates;
            run.protocol.received(reinterpret_cast<const char*>(each.bytes.data()),
                                  each.bytes.size(), updates, send);
            record(run, updates);
        }
    }
}

void read(const char* bytes, size_t size, const std::vector<size_t>& pieces, bool reconnect,
          bool atMatrix, Run& run) {
    if (atMatrix) {
        walkToMatrix(run);
    } else {
        run.protocol.connected(run.sent);
    }
    size_t at = 0;
    bool reconnected = !reconnect;
    for (size_t piece = 0; at < size; ++piece) {
        const size_t half = size / 2;
        size_t length = std::min(pieces[piece % pieces.size()], size - at);
        if (!reconnected && at < half && at + length > half) length = half - at;
        std::vector<RouterUpdate> updates;
        run.protocol.received(bytes + at, length, updates, run.sent);
        at += length;
        record(run, updates);
        if (!reconnected && at == half) {
            reconnected = true;
            run.protocol.connected(run.sent);
            run.picture.startAgain();
            run.log += "reconnect\n";
        }
    }
    run.log += run.protocol.midMessage() ? "mid message\n" : "between messages\n";
}

std::string snapshot(const RouterPicture& picture) {
    const int sources = picture.sources();
    const int destinations = picture.destinations();
    fuzzCheck(sources >= 0 && sources <= EmberProtocol::portLimit, "sources within bounds");
    fuzzCheck(destinations >= 0 && destinations <= EmberProtocol::portLimit,
              "destinations within bounds");
    std::string text = std::to_string(sources) + "x" + std::to_string(destinations);
    const int most = std::max(sources, destinations);
    for (int i = 1; i <= most; ++i) {
        for (const Side side : {Side::source, Side::destination}) {
            if (const std::string* label = picture.label(side, i)) {
                fuzzCheck(label->size() <= EmberProtocol::labelLimit, "label within bounds");
                text += (side == Side::source ? " s" : " d") + std::to_string(i) + "=" + *label;
            }
        }
        const int route = picture.route(i);
        fuzzCheck(route >= 0 && route <= sources, "a route within bounds");
        if (route != 0) text += " r" + std::to_string(i) + "=" + std::to_string(route);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzPieces input;
    if (!input.read(data, size)) return 0;
    const bool atMatrix = (input.control & 0x40u) != 0;
    const bool reconnect = (input.control & 0x80u) != 0;

    Run whole;
    read(input.text(), input.size, input.whole(), reconnect, atMatrix, whole);
    Run split;
    read(input.text(), input.size, input.pieces, reconnect, atMatrix, split);
    fuzzCheck(whole.log == split.log, "the same updates in any pieces");
    fuzzCheck(whole.sent == split.sent, "the same bytes sent in any pieces");
    fuzzCheck(snapshot(whole.picture) == snapshot(split.picture), "the same picture in any pieces");
    return 0;
}
