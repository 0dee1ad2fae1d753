// videohub_peer: a router on 127.0.0.1 that speaks the Videohub Ethernet
// protocol, for end-to-end tests and demonstrations of a router client.
#include <iostream>
#include <string>
#include <vector>

#include "peers/PeerProgram.h"
#include "peers/videohub/VideohubPeer.h"
#include "platform/StopSignal.h"

namespace {

using zant::peers::readNumber;

constexpr int exitBadUsage = 2;

const char* const usage =
    "usage: videohub_peer [--port N] [--inputs N] [--outputs N] [--lock OUTPUT]...\n"
    "                     [--no-route-reports] [--silent] [--port-file FILE]\n"
    "  --port N            listen on 127.0.0.1:N (default 0: a free port)\n"
    "  --inputs N          video inputs (default 16)\n"
    "  --outputs N         video outputs (default 16)\n"
    "  --lock OUTPUT       output OUTPUT (0-based, as on the wire) locked by another panel\n"
    "  --no-route-reports  acknowledge route requests but never carry them out\n"
    "  --silent            accept clients and never send them anything, not even the dump\n"
    "  --port-file FILE    write the port to FILE once listening\n"
    "Runs until Ctrl-C (SIGINT) or SIGTERM.\n";

int badUsage(const std::string& error) {
    std::cerr << "videohub_peer: " << error << "\n" << usage;
    return exitBadUsage;
}

}  // namespace

int main(int argc, char** argv) {
    zant::videohub::PeerOptions options;
    std::vector<int> locks;
    std::string portFile;
    bool silent = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::cout << usage;
            return 0;
        }
        if (option == "--no-route-reports") {
            options.reportRoutes = false;
            continue;
        }
        if (option == "--silent") {
            silent = true;
            continue;
        }
        if (i + 1 >= argc) return badUsage(option + " needs a value");
        const std::string value = argv[++i];
        int number = 0;
        if (option == "--port-file") {
            portFile = value;
        } else if (option == "--port") {
            if (!readNumber(value, 0, 65535, number)) return badUsage("bad port " + value);
            options.port = number;
        } else if (option == "--inputs" || option == "--outputs") {
            if (!readNumber(value, 1, 1024, number)) {
                return badUsage(option + " is 1 to 1024, not " + value);
            }
            (option == "--inputs" ? options.inputs : options.outputs) = number;
        } else if (option == "--lock") {
            if (!readNumber(value, 0, 1023, number)) return badUsage("bad output " + value);
            locks.push_back(number);
        } else {
            return badUsage("unknown option " + option);
        }
    }
    for (int output : locks) {
        if (output >= options.outputs) {
            return badUsage("--lock " + std::to_string(output) + ": outputs are 0 to " +
                            std::to_string(options.outputs - 1));
        }
    }

    StopSignal::install();
    zant::videohub::VideohubPeer peer(options);
    for (int output : locks) peer.lockByOther(output);
    peer.setSilent(silent);
    return zant::peers::serveUntilStopped("videohub_peer", peer, portFile);
}
