#include "peers/PeerProgram.h"

#include <cstdio>
#include <fstream>

bool PeerProgram::readNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

bool PeerProgram::writePortFile(const std::string& path, int port) {
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial, std::ios::trunc);
        file << port << "\n";
        if (!file.flush()) return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}
