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

// White space, and the end-of-file mark (Ctrl-Z) that old editors leave.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// "x" and 'x' read as x; a lone or unmatched quote stays.
std::string unquoted(const std::string& text) {
    if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0]) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Finds `key` in the first `section` of the file. False when the file, the
// section or the key is missing, and when the key's first line has no '='.
bool findValue(const std::string& section, const std::string& key, const char* path,
               std::string& value) {
    std::string localPath(path);
    for (char& c : localPath) {
        if (c == '\\') c = '/';
    }
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) return false;

    bool found = false;
    bool inSection = false;
    bool firstLine = true;
    std::string line;
    for (int c = 0; c != EOF;) {
        line.clear();
        // A line ends at LF or CR, alone or in any run (CRLF, LFCR, CR).
        while ((c = std::fgetc(file)) != EOF && c != '\n' && c != '\r') {
            line += static_cast<char>(c);
        }
        if (firstLine && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        firstLine = false;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';') continue;
        // A section's name runs to the line's last ']'; a '[' line without
        // one is no section header but an ordinary line.
        const size_t close = text.rfind(']');
        if (text[0] == '[' && close != std::string::npos) {
            if (inSection) break;  // only the first matching section counts
            inSection = sameName(trimmed(text.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        // A line without '=' names a key that has no value.
        const size_t equals = text.find('=');
        if (!sameName(trimmed(text.substr(0, equals)), key)) continue;
        // The key's first line decides, even when it has no value.
        if (equals != std::string::npos) {
            value = unquoted(trimmed(text.substr(equals + 1)));
            found = true;
        }
        break;
    }
    std::fclose(file);
    return found;
}

// Windows drops the default's trailing spaces and its quotes.
std::string defaultText(const char* defaultValue) {
    std::string text(defaultValue ? defaultValue : "");
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return unquoted(text);
}

}  // namespace

int zant_get_profile_string(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path) {
    if (buffer == nullptr || size < 1) return 0;
    std::string value;
    if (section == nullptr || key == nullptr || path == nullptr ||
        !findValue(trimmed(section), trimmed(key), path, value)) {
        value = defaultText(defaultValue);
    }
    // A NUL inside the file ends the text there: the count must be its length.
    value.resize(std::strlen(value.c_str()));
    const size_t count =
        value.size() < static_cast<size_t>(size - 1) ? value.size() : static_cast<size_t>(size - 1);
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

#endif
