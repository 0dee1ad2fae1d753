#include "simulator/Words.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace zant::simulator {

namespace {

// The length of the well-formed UTF-8 sequence of a printable character
// (U+00A0 and above, no surrogate) at `at`; 0 when there is none.
size_t printableSequence(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned long code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fU;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fU;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07U;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0U) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3fU);
    }
    const unsigned long smallest[] = {0, 0, 0xa0, 0x800, 0x10000};
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    return code < smallest[length] || surrogate || code > 0x10ffff ? 0 : length;
}

}  // namespace

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

std::string cutFirstWord(std::string& rest) {
    const std::string text = trimmed(rest);
    const size_t end = text.find_first_of(" \t");
    std::string word = text.substr(0, end);
    rest = end == std::string::npos ? std::string() : trimmed(text.substr(end));
    return word;
}

std::string printable(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            result += text[i++];
        } else if (const size_t length = c >= 0x80 ? printableSequence(text, i) : 0) {
            result.append(text, i, length);
            i += length;
        } else {
            char escape[8];
            if (c == '\n' || c == '\r' || c == '\t') {
                std::snprintf(escape, sizeof escape, "\\%c",
                              c == '\n'   ? 'n'
                              : c == '\r' ? 'r'
                                          : 't');
            } else {
                std::snprintf(escape, sizeof escape, "\\x%02x", c);
            }
            result += escape;
            ++i;
        }
    }
    return result;
}

std::string quoted(const std::string& text) {
    return "\"" + printable(text) + "\"";
}

bool parseInteger(const std::string& text, int& value) {
    if (text.empty()) return false;
    const size_t first = text[0] == '-' ? 1 : 0;
    if (first == text.size()) return false;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace zant::simulator
