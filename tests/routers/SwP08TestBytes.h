// Bytes as the tests write and compare them: "10 02 01" both ways, and joined.
#ifndef TESTS_ROUTERS_SW_P08_TEST_BYTES_H
#define TESTS_ROUTERS_SW_P08_TEST_BYTES_H

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace zant::routers::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::string hex(const Bytes& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += text.empty() ? "" : " ";
        text += digits;
    }
    return text;
}

inline Bytes bytes(const std::string& text) {
    Bytes data;
    std::istringstream in(text);
    unsigned value = 0;
    while (in >> std::hex >> value) data.push_back(static_cast<std::uint8_t>(value));
    return data;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace zant::routers::testing

#endif  // TESTS_ROUTERS_SW_P08_TEST_BYTES_H
