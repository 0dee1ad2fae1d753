// ember_peer: an Ember+ provider on 127.0.0.1 with one matrix (router.video,
// 1.1) and its labels (router.labels, 1.2), for end-to-end tests and
// demonstrations of a matrix client.
#include <iostream>
#include <string>

#include "peers/PeerProgram.h"
#include "peers/ember/EmberPeer.h"
#include "platform/StopSignal.h"

namespace {

constexpr int exitBadUsage = 2;

const char* const usage =
    "usage: ember_peer [--port N] [--targets N] [--sources N] [--lock TARGET]...\n"
    "                  [--pending] [--write-chunk N] [--route-later MS TARGET SOURCE]\n"
    "                  [--qualified] [--port-file FILE]\n"
    "  --port N            listen on 127.0.0.1:N (default 0: a free port)\n"
    "  --targets N         the matrix's targets (default 16)\n"
    "  --sources N         the matrix's sources (default 16)\n"
    "  --lock TARGET       target TARGET (0-based, as on the wire) locked on the provider\n"
    "  --pending           answer connection requests pending, and carry them out a moment later\n"
    "  --write-chunk N     send N bytes a write, a millisecond apart\n"
    "  --route-later MS TARGET SOURCE\n"
    "                      MS ms after the first consumer came, connect SOURCE to TARGET\n"
    "                      as on the provider's own panel\n"
    "  --qualified         send elements by their whole path (default: nested from the root)\n"
    "  --port-file FILE    write the port to FILE once listening\n"
    "Runs until Ctrl-C (SIGINT) or SIGTERM.\n";

int badUsage(const std::string& error) {
    std::cerr << "ember_peer: " << error << "\n" << usage;
    return exitBadUsage;
}

}  // namespace

int main(int argc, char** argv) {
    zant::routers::EmberPeerOptions options;
    options.provider.form = zant::routers::GlowWriter::Form::nested;
    std::string portFile;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << usage;
            return 0;
        }
        if (option == "--pending") {
            options.provider.pendingFirst = true;
            continue;
        }
        if (option == "--qualified") {
            options.provider.form = zant::routers::GlowWriter::Form::qualified;
            continue;
        }
        const int values = option == "--route-later" ? 3 : 1;
        if (i + values >= argc) return badUsage(option + " needs a value");
        const std::string value = argv[++i];
        int number = 0;
        if (option == "--port-file") {
            portFile = value;
        } else if (option == "--port") {
            if (!zant::peers::readNumber(value, 0, 65535, number))
                return badUsage("bad port " + value);
            options.port = number;
        } else if (option == "--targets" || option == "--sources") {
            if (!zant::peers::readNumber(value, 1, 4096, number)) {
                return badUsage(option + " is 1 to 4096, not " + value);
            }
            (option == "--targets" ? options.provider.targets : options.provider.sources) = number;
        } else if (option == "--lock") {
            if (!zant::peers::readNumber(value, 0, 4095, number))
                return badUsage("bad target " + value);
            options.locked.push_back(number);
        } else if (option == "--write-chunk") {
            if (!zant::peers::readNumber(value, 1, 65536, number))
                return badUsage("bad chunk " + value);
            options.writeChunk = static_cast<size_t>(number);
        } else if (option == "--route-later") {
            if (!zant::peers::readNumber(value, 1, 3600000, options.laterMs) ||
                !zant::peers::readNumber(argv[++i], 0, 4095, options.laterTarget) ||
                !zant::peers::readNumber(argv[++i], 0, 4095, options.laterSource)) {
                return badUsage("--route-later needs MS TARGET SOURCE");
            }
        } else {
            return badUsage("unknown option " + option);
        }
    }

    StopSignal::install();
    zant::routers::EmberPeer peer(options);
    return zant::peers::serveUntilStopped("ember_peer", peer, portFile);
}
