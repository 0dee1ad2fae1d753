// The profile reader on arbitrary file contents: whatever the file holds, the
// value fits the caller's buffer, is NUL-terminated, and its length is the
// count returned.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/zant_profile.h"

namespace {

// One file per fuzzing process, rewritten for every input.
const std::string& profilePath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder ? folder : "/tmp") + "/zant_profile_XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        fuzzCheck(descriptor >= 0, "temporary file created");
        close(descriptor);
        return pattern;
    }();
    return path;
}

void query(const char* section, const char* key, const char* fallback, int size) {
    // Exactly `size` bytes, so a write past them is caught.
    const auto buffer = std::make_unique<char[]>(size > 0 ? static_cast<size_t>(size) : 1);
    buffer[0] = 'x';
    const int count =
        zant_get_profile_string(section, key, fallback, buffer.get(), size, profilePath().c_str());
    if (size < 1) {
        fuzzCheck(count == 0 && buffer[0] == 'x', "nothing written without room");
        return;
    }
    fuzzCheck(count >= 0 && count <= size - 1, "value fits the buffer");
    fuzzCheck(std::strlen(buffer.get()) == static_cast<size_t>(count), "count is the length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // First byte: the buffer size; the rest: the file.
    const int bufferSize = data[0] == 255 ? 4096 : static_cast<int>(data[0]) - 1;
    std::FILE* file = std::fopen(profilePath().c_str(), "wb");
    fuzzCheck(file != nullptr, "temporary file opened");
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    query("Database", "DatabaseSize_1", "0", bufferSize);
    query("database", "databasesize_0", "", bufferSize);
    query(" Database ", "DatabaseSize_1", "a default longer than a small buffer", bufferSize);
    query("", "", nullptr, bufferSize);
    query("Database", "DatabaseSize_1", "0", 256);
    return 0;
}
