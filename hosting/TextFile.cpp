#include "hosting/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace zant::hosting {

bool TextFile::read(const std::string& path, const std::string& what, std::string& content,
                    std::string& error) {
    const auto fail = [&](int code) {
        error = path + ": cannot open the " + what + ": " + std::strerror(code);
        return false;
    };
    std::error_code ignored;
    // Some systems open a folder like a file and read it as empty.
    if (std::filesystem::is_directory(path, ignored)) return fail(EISDIR);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return fail(errno != 0 ? errno : ENOENT);
    content.clear();
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int code = errno != 0 ? errno : EIO;
    std::fclose(file);
    return failed ? fail(code) : true;
}

}  // namespace zant::hosting
