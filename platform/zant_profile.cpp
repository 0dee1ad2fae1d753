#include "platform/zant_profile.h"

#if defined(_WIN32)
#include <windows.h>

int zant_get_profile_string(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path) {
    if (buffer == nullptr || size < 1) return 0;
    return static_cast<int>(GetPrivateProfileStringA(section, key, defaultValue, buffer,
                                                     static_cast<DWORD>(size), path));
}

#else
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool sameName(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Finds `key` in the first `section` of the file; false when any is missing.
bool findValue(const char* section, const char* key, const char* path, std::string& value) {
    std::string localPath(path);
    for (char& c : localPath) {
        if (c == '\\') c = '/';
    }
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) return false;

    bool found = false;
    bool sectionSeen = false;  // the first matching section has begun
    bool inSection = false;
    bool firstLine = true;
    std::string line;
    for (int c = 0; c != EOF && !found;) {
        line.clear();
        while ((c = std::fgetc(file)) != EOF && c != '\n') line += static_cast<char>(c);
        if (firstLine && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        firstLine = false;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const size_t close = text.find(']');
            const std::string name =
                trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            if (inSection) break;  // only the first matching section counts
            inSection = !sectionSeen && sameName(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) continue;
        const size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        if (!sameName(trimmed(text.substr(0, equals)), key)) continue;
        value = trimmed(text.substr(equals + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
            value.back() == value[0]) {
            value = value.substr(1, value.size() - 2);
        }
        found = true;
    }
    std::fclose(file);
    return found;
}

}  // namespace

int zant_get_profile_string(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path) {
    if (buffer == nullptr || size < 1) return 0;
    std::string value;
    if (section == nullptr || key == nullptr || path == nullptr ||
        !findValue(section, key, path, value)) {
        value = defaultValue ? defaultValue : "";
    }
    const size_t count =
        value.size() < static_cast<size_t>(size - 1) ? value.size() : static_cast<size_t>(size - 1);
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

#endif
