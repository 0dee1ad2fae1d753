#include "simulator/Installation.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>

#include "hosting/TextFile.h"
#include "platform/zant_profile.h"
#include "routers/SimulatedRouter.h"
#include "simulator/Words.h"

namespace zant::simulator {

using routers::SimulatedRouter;

namespace {

std::string databaseValue(const std::string& ini, const char* key) {
    char value[256];
    zant_get_profile_string("Database", key, "", value, static_cast<int>(sizeof value),
                            ini.c_str());
    return value;
}

std::string paddedDevice(int device) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", device);
    return text;
}

}  // namespace

std::string Installation::deviceFile(int device) const {
    return folder_ + "/config/system/dev_" + paddedDevice(device) + ".ini";
}

bool Installation::replaceRouter(std::unique_ptr<Router> router) {
    const auto found = routers_.find(router->device());
    if (found == routers_.end()) return false;
    found->second = std::move(router);
    return true;
}

bool Installation::load(const std::string& root, const std::string& system, std::string& error) {
    folder_ = root + "/" + system;
    instances_.clear();
    routers_.clear();
    styles_.clear();
    const std::string path = folder_ + "/config/simulator/instances.txt";
    std::string content;
    if (!zant::hosting::TextFile::read(path, "instances file", content, error)) return false;
    std::istringstream file(content);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::string rest = trimmed(line);
        if (rest.empty() || rest[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number);
        const std::string name = cutFirstWord(rest);
        int device = 0;
        if (!parseInteger(rest, device) || device < 1) {
            error = where + ": expected INSTANCE DEVICE, got '" + trimmed(line) + "'";
            return false;
        }
        instances_[name] = device;
        if (routers_.count(device) == 0 && !loadRouter(device, where, error)) return false;
    }
    return loadStyles(error);
}

namespace {

bool colour(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '#') return false;
    }
    return true;
}

}  // namespace

bool Installation::loadStyles(std::string& error) {
    const std::string path = folder_ + "/config/simulator/styles.txt";
    std::ifstream file(path, std::ios::binary);
    std::string line;
    for (int number = 1; file && std::getline(file, line); ++number) {
        std::string rest = trimmed(line);
        if (rest.empty() || rest[0] == '#') continue;
        const std::string name = cutFirstWord(rest);
        Style style;
        style.background = cutFirstWord(rest);
        style.text = cutFirstWord(rest);
        if (!rest.empty() || !colour(style.background) ||
            (!style.text.empty() && !colour(style.text))) {
            error = path + ":" + std::to_string(number) +
                    ": expected NAME COLOUR [TEXT-COLOUR], got '" + trimmed(line) + "'";
            return false;
        }
        styles_[name] = style;
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
    // Read as the component reads it, so both always agree on the size.
    sources = databaseValue(ini, "DatabaseSize_0");
    destinations = databaseValue(ini, "DatabaseSize_1");
    int sourceCount = 0;
    int destinationCount = 0;
    // A router of 0 x 0 would make every later fault a puzzle: say it here.
    if (!parseInteger(sources, sourceCount) || sourceCount < 0) {
        error = ini + ": DatabaseSize_0 (the sources) is not a count: '" + sources + "'";
        return false;
    }
    if (!parseInteger(destinations, destinationCount) || destinationCount < 0) {
        error = ini + ": DatabaseSize_1 (the destinations) is not a count: '" + destinations + "'";
        return false;
    }
    SimulatedRouter router(device, sourceCount, destinationCount);

    const std::string path = folder_ + "/config/simulator/router_" + paddedDevice(device) + ".txt";
    std::ifstream file(path, std::ios::binary);
    std::string line;
    for (int number = 1; file && std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string rest = line;
        const std::string what = cutFirstWord(rest);
        if (what.empty() || what[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        int index = 0;
        const std::string indexText = cutFirstWord(rest);
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
    routers_[device] = std::make_unique<SimulatedRouter>(std::move(router));
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
    return found == routers_.end() ? nullptr : found->second.get();
}

std::string Installation::noDevice(int device) const {
    std::string known;
    for (const auto& router : routers_) {
        known += (known.empty() ? "" : ", ") + std::to_string(router.first);
    }
    return "the installation has no device " + std::to_string(device) +
           (known.empty() ? std::string(" (it has none)") : " (it has " + known + ")");
}

}  // namespace zant::simulator
