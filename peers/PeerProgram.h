// What the peers' programs share on their command lines and with the tests
// that start them: numbers read whole, and the port file a test waits for.
//
// Threads: the program's main thread.
#ifndef PEERS_PEER_PROGRAM_H
#define PEERS_PEER_PROGRAM_H

#include <string>

class PeerProgram {
public:
    // A whole decimal number from `low` to `high`.
    static bool readNumber(const std::string& text, int low, int high, int& value);
    // `port` written to `path` whole under another name first, so that a
    // reader never sees half a port.
    static bool writePortFile(const std::string& path, int port);
};

#endif  // PEERS_PEER_PROGRAM_H
