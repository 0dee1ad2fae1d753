#include "platform/TemporaryFolder.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <chrono>
#else
#include <cstdlib>
#endif

namespace zant::platform {

std::string makeTemporaryFolder(const std::string& prefix) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return {};
#if defined(_WIN32)
    // No mkdtemp: the clock, then a counter for a clash, and a folder made
    // only if none of that name exists. Wine hands out the same few process
    // ids again and again, so they would not keep runs apart.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            base / (prefix + "-" + std::to_string(stamp) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(folder, error)) return folder.string();
    }
    return {};
#else
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
#endif
}

}  // namespace zant::platform
