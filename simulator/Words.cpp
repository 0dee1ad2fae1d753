#include "simulator/Words.h"

#include <cctype>

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
