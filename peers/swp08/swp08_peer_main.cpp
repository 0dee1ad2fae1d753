// swp08_peer: a router on 127.0.0.1 that speaks the binary router protocol
// (router side), for end-to-end tests and demonstrations of a router client.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "peers/PeerProgram.h"
#include "peers/swp08/SwP08Peer.h"
#include "platform/StopSignal.h"

namespace {

using zant::peers::readNumber;

using zant::routers::SwP08PeerOptions;
using zant::routers::SwP08PeerTiming;
using Change = SwP08PeerTiming::Change;

constexpr int exitBadUsage = 2;

const char* const usage =
    "usage: swp08_peer [OPTION]...\n"
    "Numbers are as on the wire, counted from 0.\n"
    "  --port N               listen on 127.0.0.1:N (default 0: a free port)\n"
    "  --port-file FILE       write the port to FILE once listening\n"
    "  --matrix M             the matrix it answers for (default 0)\n"
    "  --levels N             levels 0..N-1, each with its own routes (default 1)\n"
    "  --sources N            sources (default 16)\n"
    "  --destinations N       destinations (default 16)\n"
    "  --names many|one|none  names many to a reply, one to a reply, or never\n"
    "  --protect LEVEL:DEST[:STATE]  a protect set on the front panel (state 1..3,\n"
    "                         default 1); repeatable\n"
    "  --tally-as-connected   answer an interrogate with CONNECTED\n"
    "  --dump-as-tallies      answer a tally dump request with one TALLY a destination\n"
    "  --extended             answer and report in the extended form\n"
    "  --reply-before-ack     send an answer before the ACK of its request\n"
    "  --no-ack               neither ACK nor NAK any frame\n"
    "  --no-answer            ACK requests, never answer nor carry them out\n"
    "  --no-ack-from MS       stop ACKing MS after the first client connected\n"
    "  --write-chunk N        write N bytes at a time, a millisecond apart\n"
    "  --resend MS            send a frame not ACKed again after MS (up to 5 times)\n"
    "  --drop-after N         drop a client after N of its frames\n"
    "  --log                  write each route asked, as carried out or not\n"
    "  --route-at MS:LEVEL:DEST:SRC  route on the front panel MS after the first\n"
    "                         client connected; repeatable\n"
    "  --bad-frame-at MS:LEVEL:DEST:SRC  send every client a CONNECTED with a bad\n"
    "                         checksum MS after the first client connected\n"
    "Runs until Ctrl-C (SIGINT) or SIGTERM.\n";

int badUsage(const std::string& error) {
    std::cerr << "swp08_peer: " << error << "\n" << usage;
    return exitBadUsage;
}

// "A:B:C..." as `count` numbers (the last ones optional down to `least`).
bool readNumbers(const std::string& text, size_t least, size_t count, std::vector<int>& values) {
    values.clear();
    for (size_t at = 0; at <= text.size() && values.size() < count;) {
        const size_t colon = std::min(text.find(':', at), text.size());
        int value = 0;
        if (!readNumber(text.substr(at, colon - at), 0, 999999, value)) return false;
        values.push_back(value);
        at = colon + 1;
        if (colon == text.size()) break;
    }
    return values.size() >= least && values.size() <= count;
}

}  // namespace

int main(int argc, char** argv) {
    SwP08PeerOptions options;
    SwP08PeerTiming timing;
    std::vector<std::vector<int>> protects;
    std::string portFile;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << usage;
            return 0;
        }
        bool* flag = option == "--tally-as-connected" ? &options.interrogateAnsweredWithConnected
                     : option == "--dump-as-tallies"  ? &options.dumpAsTallies
                     : option == "--extended"         ? &options.alwaysExtended
                     : option == "--reply-before-ack" ? &options.replyBeforeAck
                                                      : nullptr;
        if (flag != nullptr) {
            *flag = true;
            continue;
        }
        if (option == "--log") {
            timing.log = true;
            continue;
        }
        if (option == "--no-ack" || option == "--no-answer") {
            (option == "--no-ack" ? options.acknowledge : options.answer) = false;
            continue;
        }
        if (i + 1 >= argc) return badUsage(option + " needs a value");
        const std::string value = argv[++i];
        int number = 0;
        std::vector<int> numbers;
        if (option == "--port-file") {
            portFile = value;
        } else if (option == "--port") {
            if (!readNumber(value, 0, 65535, number)) return badUsage("bad port " + value);
            timing.port = number;
        } else if (option == "--matrix" || option == "--levels") {
            if (!readNumber(value, option == "--matrix" ? 0 : 1, option == "--matrix" ? 255 : 256,
                            number)) {
                return badUsage("bad " + option + " " + value);
            }
            (option == "--matrix" ? options.matrix : options.levels) = number;
        } else if (option == "--sources" || option == "--destinations") {
            if (!readNumber(value, 1, 65535, number)) {
                return badUsage(option + " is 1 to 65535, not " + value);
            }
            (option == "--sources" ? options.sources : options.destinations) = number;
        } else if (option == "--names") {
            if (value == "many") {
                options.names = SwP08PeerOptions::Names::many;
            } else if (value == "one") {
                options.names = SwP08PeerOptions::Names::onePerReply;
            } else if (value == "none") {
                options.names = SwP08PeerOptions::Names::none;
            } else {
                return badUsage("--names is many, one or none, not " + value);
            }
        } else if (option == "--protect") {
            if (!readNumbers(value, 2, 3, numbers)) return badUsage("bad --protect " + value);
            if (numbers.size() == 2) numbers.push_back(1);
            protects.push_back(numbers);
        } else if (option == "--write-chunk" || option == "--resend" || option == "--drop-after") {
            if (!readNumber(value, 1, 999999, number)) return badUsage("bad " + option + value);
            if (option == "--write-chunk") timing.writeChunk = static_cast<size_t>(number);
            if (option == "--resend") timing.resendMs = number;
            if (option == "--drop-after") timing.dropAfterFrames = number;
        } else if (option == "--no-ack-from") {
            if (!readNumber(value, 0, 999999, number)) return badUsage("bad " + option + value);
            Change change;
            change.kind = Change::Kind::stopAcknowledging;
            change.atMs = number;
            timing.changes.push_back(change);
        } else if (option == "--route-at" || option == "--bad-frame-at") {
            if (!readNumbers(value, 4, 4, numbers)) return badUsage("bad " + option + " " + value);
            Change change;
            change.kind = option == "--route-at" ? Change::Kind::route : Change::Kind::badFrame;
            change.atMs = numbers[0];
            change.level = numbers[1];
            change.destination = numbers[2];
            change.source = numbers[3];
            timing.changes.push_back(change);
        } else {
            return badUsage("unknown option " + option);
        }
    }
    std::stable_sort(timing.changes.begin(), timing.changes.end(),
                     [](const Change& a, const Change& b) { return a.atMs < b.atMs; });

    StopSignal::install();
    zant::routers::SwP08Peer peer(options, timing);
    for (const std::vector<int>& protect : protects) {
        if (!peer.setProtect(protect[0], protect[1], protect[2])) {
            return badUsage("--protect " + std::to_string(protect[0]) + ":" +
                            std::to_string(protect[1]) + ": no such level or destination");
        }
    }
    return zant::peers::serveUntilStopped("swp08_peer", peer, portFile);
}
