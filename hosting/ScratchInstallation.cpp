#include "hosting/ScratchInstallation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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
    const std::filesystem::path config =
        std::filesystem::path(root_) / system / "config" / "system";
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

bool ScratchInstallation::writeDevice(int device, const std::string& contents) const {
    if (!ready_) return false;
    char name[32];
    std::snprintf(name, sizeof name, "dev_%03d.ini", device);
    std::ofstream file(std::filesystem::path(configFolder_) / name, std::ios::binary);
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
