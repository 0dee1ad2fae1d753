#include "validator/ScratchInstallation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

ScratchInstallation::ScratchInstallation(int device) {
    if (std::getenv("KV_ROOT") != nullptr) return;
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return;
    // A name no other run picks: the clock, then a counter for a clash.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
        const std::filesystem::path root =
            base / ("zant_validate_" + std::to_string(stamp) + "_" + std::to_string(attempt));
        if (std::filesystem::create_directory(root, error)) root_ = root.string();
    }
    if (root_.empty()) return;
    const std::filesystem::path folder =
        std::filesystem::path(root_) / "main" / "config" / "system";
    std::filesystem::create_directories(folder, error);
    char name[32];
    std::snprintf(name, sizeof name, "dev_%03d.ini", device);
    std::ofstream(folder / name) << "[Database]\nDatabaseSize_0=16\nDatabaseSize_1=16\n";
#if defined(_WIN32)
    _putenv_s("KV_ROOT", root_.c_str());
    _putenv_s("KV_SYSTEM", "main");
#else
    setenv("KV_ROOT", root_.c_str(), 1);
    setenv("KV_SYSTEM", "main", 1);
#endif
}

ScratchInstallation::~ScratchInstallation() {
    if (root_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}
