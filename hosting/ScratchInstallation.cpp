#include "hosting/ScratchInstallation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "hosting/SameLetters.h"
#include "platform/ProcessEnvironment.h"
#include "platform/TemporaryFolder.h"

namespace zant::hosting {

namespace {

const char* const rootVariable = "KV_ROOT";
const char* const systemVariable = "KV_SYSTEM";

}  // namespace

ScratchInstallation::ScratchInstallation(const std::string& system)
    : root_(platform::makeTemporaryFolder("zant-installation")) {
    if (root_.empty()) return;
    folder_ = (std::filesystem::path(root_) / system).string();
    const std::filesystem::path config = std::filesystem::path(folder_) / "config" / "system";
    configFolder_ = config.string();
    std::error_code error;
    ready_ = std::filesystem::create_directories(config, error);
    previousRoot_ = platform::environmentVariable(rootVariable);
    previousSystem_ = platform::environmentVariable(systemVariable);
    platform::setEnvironmentVariable(rootVariable, root_);
    platform::setEnvironmentVariable(systemVariable, system);
}

ScratchInstallation::~ScratchInstallation() {
    if (root_.empty()) return;
    platform::setEnvironmentVariable(rootVariable, previousRoot_);
    platform::setEnvironmentVariable(systemVariable, previousSystem_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ScratchInstallation::deviceFile(int device) const {
    char name[32];
    std::snprintf(name, sizeof name, "dev_%03d.ini", device);
    return (std::filesystem::path(configFolder_) / name).string();
}

bool ScratchInstallation::writeDevice(int device, const std::string& contents) const {
    if (!ready_) return false;
    std::ofstream file(deviceFile(device), std::ios::binary);
    file << contents;
    return static_cast<bool>(file);
}

bool ScratchInstallation::writeRouter(int device, int destinations) const {
    return writeDevice(device,
                       "[Device]\nName=Router " + std::to_string(device) +
                           "\nType=Matrix\n\n[Comms]\nPort=COM" + std::to_string(device % 8 + 1) +
                           "\nBaud=38400\n\n[Database]\nDatabaseSize_0=16\nDatabaseSize_1=" +
                           std::to_string(destinations) + "\n");
}

}  // namespace zant::hosting

namespace zant::hosting {

bool ScratchInstallation::copyFrom(const std::string& folder) const {
    if (!ready_) return false;
    std::error_code error;
    std::filesystem::copy(folder, folder_,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing,
                          error);
    return !error;
}

namespace {

// The key of an ini line "KEY=VALUE" (spaces around the key dropped).
std::string keyOf(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return {};
    const size_t first = line.find_first_not_of(" \t");
    const size_t last = line.find_last_not_of(" \t", equals - 1);
    return first >= equals ? std::string() : line.substr(first, last - first + 1);
}

}  // namespace

bool ScratchInstallation::setDatabaseSizes(int device, int sources, int destinations) const {
    if (!ready_) return false;
    const std::string sizes[2] = {"DatabaseSize_0=" + std::to_string(sources),
                                  "DatabaseSize_1=" + std::to_string(destinations)};
    std::ifstream in(deviceFile(device), std::ios::binary);
    std::string line;
    std::string out;
    bool inDatabase = false;
    bool written = false;
    // Section and key names are read without regard to case, as the
    // profile reader reads them.
    const auto writeSizes = [&] {
        if (!written) out += sizes[0] + "\n" + sizes[1] + "\n";
        written = true;
    };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '[') {
            const size_t close = line.find(']', first);
            inDatabase = close != std::string::npos &&
                         sameLetters(line.substr(first + 1, close - first - 1), "Database");
            out += line + "\n";
            if (inDatabase) writeSizes();
            continue;
        }
        const std::string key = keyOf(line);
        if (inDatabase &&
            (sameLetters(key, "DatabaseSize_0") || sameLetters(key, "DatabaseSize_1"))) {
            continue;
        }
        out += line + "\n";
    }
    if (!written) out += "\n[Database]\n" + sizes[0] + "\n" + sizes[1] + "\n";
    return writeDevice(device, out);
}

}  // namespace zant::hosting
