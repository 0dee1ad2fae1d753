#include "simulator/CommandText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace zant::simulator {

namespace {

const std::string separator = "' '";

}  // namespace

bool parseInteger(const std::string& text, int& value) {
    if (text.empty()) return false;
    size_t first = text[0] == '-' ? 1 : 0;
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

CommandText::CommandText(std::string text) : text_(std::move(text)) {
    mnemonic_ = text_.substr(0, text_.size() < 2 ? text_.size() : 2);
    if (text_.size() > 3 && text_[2] == ' ') rest_ = text_.substr(3);
}

bool CommandText::quotedFields(int count, int freeField, std::vector<std::string>& fields) const {
    fields.clear();
    if (rest_.size() < 2 || rest_.front() != '\'' || rest_.back() != '\'') return false;
    const std::string inner = rest_.substr(1, rest_.size() - 2);
    std::vector<size_t> cuts;
    for (size_t at = inner.find(separator); at != std::string::npos;
         at = inner.find(separator, at + 1)) {
        cuts.push_back(at);
    }
    if (count <= 0) count = static_cast<int>(cuts.size()) + 1;
    const int needed = count - 1;
    if (static_cast<int>(cuts.size()) < needed) return false;
    // The fields before the free one take the first cuts, those after it the
    // last ones; the free field spans whatever lies between.
    std::vector<size_t> used;
    used.reserve(static_cast<size_t>(needed));
    const int before = freeField;
    const int after = needed - before;
    for (int i = 0; i < before; ++i) used.push_back(cuts[static_cast<size_t>(i)]);
    for (int i = after; i > 0; --i) used.push_back(cuts[cuts.size() - static_cast<size_t>(i)]);
    size_t start = 0;
    for (size_t cut : used) {
        if (cut < start) return false;
        fields.push_back(inner.substr(start, cut - start));
        start = cut + separator.size();
    }
    fields.push_back(inner.substr(start));
    return true;
}

bool CommandText::numbers(std::vector<int>& values) const {
    values.clear();
    if (!rest_.empty() && rest_.back() == ' ') return false;
    size_t at = 0;
    while (at < rest_.size()) {
        size_t end = rest_.find(' ', at);
        if (end == std::string::npos) end = rest_.size();
        int value = 0;
        if (!parseInteger(rest_.substr(at, end - at), value)) return false;
        values.push_back(value);
        at = end + 1;
    }
    return true;
}

}  // namespace zant::simulator
