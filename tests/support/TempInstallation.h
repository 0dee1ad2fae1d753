// A throw-away installation folder: <root>/<system>/config/system/dev_NNN.ini
// files, with KV_ROOT and KV_SYSTEM pointing at it while the object lives.
#ifndef TESTS_TEMP_INSTALLATION_H
#define TESTS_TEMP_INSTALLATION_H

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/ScopedEnvironment.h"

#if defined(_WIN32)
#include <process.h>
#define ZANT_TEST_PID _getpid()
#else
#include <unistd.h>
#define ZANT_TEST_PID getpid()
#endif

class TempInstallation {
public:
    explicit TempInstallation(const std::string& system = "main")
        : root_(makeRoot()),
          rootVariable_("KV_ROOT", root_.string()),
          systemVariable_("KV_SYSTEM", system),
          configFolder_(root_ / system / "config" / "system") {
        std::filesystem::create_directories(configFolder_);
    }
    ~TempInstallation() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    // Writes dev_NNN.ini (device zero-padded to three digits) with `contents`.
    void writeDevice(int device, const std::string& contents) const {
        char name[32];
        std::snprintf(name, sizeof name, "dev_%03d.ini", device);
        std::ofstream(configFolder_ / name, std::ios::binary) << contents;
    }
    // A device whose database 1 (destinations) has `destinations` entries.
    void writeRouter(int device, int destinations) const {
        writeDevice(device, "[Database]\nDatabaseSize_0=16\nDatabaseSize_1=" +
                                std::to_string(destinations) + "\n");
    }
    const std::filesystem::path& root() const { return root_; }

private:
    static std::filesystem::path makeRoot() {
        static int counter = 0;
        // Wine hands out the same few process ids again and again, and cannot
        // remove a folder whose path exceeds 260 characters: the clock keeps
        // each run's folder apart from any such leftover.
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        std::filesystem::path root = std::filesystem::temp_directory_path() /
                                     ("zant-installation-" + std::to_string(ZANT_TEST_PID) + "-" +
                                      std::to_string(stamp) + "-" + std::to_string(++counter));
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
        return root;
    }

    std::filesystem::path root_;
    ScopedEnvironment rootVariable_;
    ScopedEnvironment systemVariable_;
    std::filesystem::path configFolder_;
};

#endif  // TESTS_TEMP_INSTALLATION_H
