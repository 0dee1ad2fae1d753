#include "simulator/Installation.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "simulator/CommandText.h"

namespace {

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Cuts the first word off `line`; the rest loses its leading spaces.
std::string firstWord(std::string& line) {
    const std::string text = trimmed(line);
    const size_t end = text.find_first_of(" \t");
    std::string word = text.substr(0, end);
    line = end == std::string::npos ? std::string() : trimmed(text.substr(end));
    return word;
}

std::string paddedDevice(int device) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", device);
    return text;
}

}  // namespace

bool Installation::iniValue(const std::string& path, const std::string& section,
                            const std::string& key, std::string& value) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bool inSection = false;
    std::string line;
    while (std::getline(file, line)) {
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const size_t close = text.find(']');
            if (inSection) return false;
            inSection = close != std::string::npos &&
                        lowered(trimmed(text.substr(1, close - 1))) == lowered(section);
            continue;
        }
        const size_t equals = text.find('=');
        if (!inSection || equals == std::string::npos) continue;
        if (lowered(trimmed(text.substr(0, equals))) != lowered(key)) continue;
        value = trimmed(text.substr(equals + 1));
        return true;
    }
    return false;
}

std::string Installation::deviceFile(int device) const {
    return folder_ + "/config/system/dev_" + paddedDevice(device) + ".ini";
}

bool Installation::load(const std::string& root, const std::string& system, std::string& error) {
    folder_ = root + "/" + system;
    instances_.clear();
    routers_.clear();
    const std::string path = folder_ + "/config/simulator/instances.txt";
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the instances file";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::string rest = trimmed(line);
        if (rest.empty() || rest[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number);
        const std::string name = firstWord(rest);
        int device = 0;
        if (!parseInteger(rest, device) || device < 1) {
            error = where + ": expected INSTANCE DEVICE, got '" + trimmed(line) + "'";
            return false;
        }
        instances_[name] = device;
        if (routers_.count(device) == 0 && !loadRouter(device, where, error)) return false;
    }
    return true;
}

bool Installation::loadRouter(int device, const std::string& instancesWhere, std::string& error) {
    const std::string ini = deviceFile(device);
    std::string sources;
    std::string destinations;
    if (!std::ifstream(ini)) {
        error = instancesWhere + ": device " + std::to_string(device) + " has no file " + ini;
        return false;
    }
    iniValue(ini, "Database", "DatabaseSize_0", sources);
    iniValue(ini, "Database", "DatabaseSize_1", destinations);
    int sourceCount = 0;
    int destinationCount = 0;
    parseInteger(sources, sourceCount);
    parseInteger(destinations, destinationCount);
    Router router(device, sourceCount, destinationCount);

    const std::string path = folder_ + "/config/simulator/router_" + paddedDevice(device) + ".txt";
    std::ifstream file(path, std::ios::binary);
    std::string line;
    for (int number = 1; file && std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string rest = line;
        const std::string what = firstWord(rest);
        if (what.empty() || what[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        int index = 0;
        const std::string indexText = firstWord(rest);
        if (!parseInteger(indexText, index)) {
            error = where + "expected a number after '" + what + "', got '" + indexText + "'";
            return false;
        }
        if (what == "source" || what == "dest") {
            const int database =
                what == "source" ? Router::sourceDatabase : Router::destinationDatabase;
            if (!router.setName(database, index, rest)) {
                error =
                    where + what + " " + indexText + " lies outside the router (see " + ini + ")";
                return false;
            }
        } else if (what == "route") {
            int destination = 0;
            if (!parseInteger(rest, destination) || !router.validSource(index) ||
                !router.validDestination(destination)) {
                error = where + "expected route SOURCE DEST within the router, got '" + line + "'";
                return false;
            }
            router.connect(index, destination);
        } else {
            error = where + "unknown entry '" + what + "' (known: source, dest, route)";
            return false;
        }
    }
    router.clearChanges();
    routers_[device] = router;
    return true;
}

bool Installation::device(const std::string& instance, int& device) const {
    const auto found = instances_.find(instance);
    if (found == instances_.end()) return false;
    device = found->second;
    return true;
}

Router* Installation::router(int device) {
    const auto found = routers_.find(device);
    return found == routers_.end() ? nullptr : &found->second;
}
