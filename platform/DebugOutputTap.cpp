#include "platform/DebugOutputTap.h"

#include <cstring>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#if defined(_WIN32)

DebugOutputTap::DebugOutputTap(bool echo) : echo_(echo) {}

DebugOutputTap::~DebugOutputTap() = default;

bool DebugOutputTap::readable() {
    return false;
}

std::string DebugOutputTap::take(const char* /*prefix*/) {
    return {};
}

#else

DebugOutputTap::DebugOutputTap(bool echo) : echo_(echo) {
    std::fflush(stderr);
    file_ = std::tmpfile();
    if (file_ == nullptr) return;
    saved_ = dup(STDERR_FILENO);
    if (saved_ < 0 || dup2(fileno(file_), STDERR_FILENO) < 0) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

DebugOutputTap::~DebugOutputTap() {
    if (saved_ < 0) return;
    // What came since the last take() still reaches the real standard error.
    take("");
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    if (file_ != nullptr) std::fclose(file_);
}

bool DebugOutputTap::readable() {
    return true;
}

std::string DebugOutputTap::take(const char* prefix) {
    if (file_ == nullptr) return {};
    std::fflush(stderr);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = pread(fileno(file_), buffer, sizeof buffer, read_);
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
        read_ += got;
    }
    if (echo_ && saved_ >= 0 && !text.empty()) {
        if (write(saved_, text.data(), text.size()) < 0) {
            // The echo is a courtesy; the capture stands without it.
        }
    }
    const size_t prefixLength = std::strlen(prefix);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        if (line.compare(0, prefixLength, prefix) == 0) return line;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return {};
}

#endif
