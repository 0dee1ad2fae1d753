#include "hosting/FileArgument.h"

#include <filesystem>

namespace zant::hosting {

std::string FileArgument::resolve(const std::string& given) {
    const std::filesystem::path path(given);
    if (given.empty() || path.has_parent_path() || path.is_absolute()) return given;
    return (std::filesystem::path(".") / path).string();
}

std::string FileArgument::folderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace zant::hosting
