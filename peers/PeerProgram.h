// What every peer program shares: the numbers of its command line, the port
// it writes for the tests that start it, and serving until it is stopped.
//
// Threads: the program's main thread.
#ifndef PEERS_PEER_PROGRAM_H
#define PEERS_PEER_PROGRAM_H

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "platform/StopSignal.h"

namespace zant::peers {

// A whole decimal number from `low` to `high`.
inline bool readNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

// Written whole under another name first: a reader never sees half a port.
inline bool writePortFile(const std::string& path, int port) {
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::trunc);
        file << port << "\n";
        if (!file.flush()) return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

// Starts `peer`, writes its port to `portFile` (unless empty) and serves
// until SIGINT or SIGTERM (StopSignal installed); the program's exit status.
template <class Peer>
int serveUntilStopped(const char* program, Peer& peer, const std::string& portFile) {
    std::string error;
    if (!peer.start(error)) {
        std::cerr << program << ": " << error << "\n";
        return 1;
    }
    if (!portFile.empty() && !writePortFile(portFile, peer.port())) {
        std::cerr << program << ": cannot write " << portFile << "\n";
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << peer.port() << std::endl;
    while (!StopSignal::requested()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    peer.stop();
    std::cout << "stopped by " << StopSignal::name() << std::endl;
    return 0;
}

}  // namespace zant::peers

#endif  // PEERS_PEER_PROGRAM_H
