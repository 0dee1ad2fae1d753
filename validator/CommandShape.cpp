#include "validator/CommandShape.h"

#include <climits>
#include <cstddef>

namespace {

// Field kinds of a signature: n a number, q a text without quotes, f the free
// text (at most one per signature), b a flag 0 or 1.
struct Signature {
    const char* mnemonic;
    const char* fields;
    int panel;
    int control;
};

// Every form a command may take; a command is well-formed when one fits.
constexpr Signature signatures[] = {
    {"AS", "", -1, -1},      {"RU", "n", -1, -1},   {"ET", "n", -1, -1},   {"ET", "nn", -1, -1},
    {"RP", "nnn", -1, -1},   {"RN", "nnn", -1, -1}, {"RR", "nnn", -1, -1}, {"RR", "nnnq", -1, -1},
    {"RC", "nnnfb", -1, -1}, {"CE", "qq", 0, 1},    {"CD", "qq", 0, 1},    {"TG", "qqq", 0, 1},
    {"XI", "qq", 0, -1},     {"HN", "f", -1, -1},   {"SD", "f", -1, -1},   {"PS", "qf", 0, -1},
    {"PS", "qfq", 0, -1},    {"TP", "fqq", 1, 2},
};

// Plain signed decimal within the int range: no padding, no '+', no "-0".
bool isNumber(const std::string& text) {
    size_t at = text.empty() || text[0] != '-' ? 0 : 1;
    if (at >= text.size()) return false;
    if (text[at] == '0') return text.size() == at + 1 && at == 0;
    long long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
    }
    return text[0] == '-' || value <= INT_MAX;
}

std::string fieldError(char kind, const std::string& field) {
    if (kind == 'n' && !isNumber(field)) return "field '" + field + "' is no plain decimal int";
    if (kind == 'b' && field != "0" && field != "1") return "flag '" + field + "' is not 0 or 1";
    return {};
}

// Reads one field of `kind` off the front of `rest` (" field..."), into `field`.
bool takeFront(std::string& rest, char kind, std::string& field) {
    if (rest.size() < 2 || rest[0] != ' ') return false;
    if (kind == 'q') {
        const size_t close = rest.find('\'', 2);
        if (rest[1] != '\'' || close == std::string::npos) return false;
        field = rest.substr(2, close - 2);
        rest.erase(0, close + 1);
        return true;
    }
    const size_t end = rest.find(' ', 1);
    field = rest.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    rest.erase(0, end == std::string::npos ? rest.size() : end);
    return true;
}

// Reads one field of `kind` off the back of `rest` ("... field").
bool takeBack(std::string& rest, char kind, std::string& field) {
    if (kind == 'q') {
        if (rest.size() < 3 || rest.back() != '\'') return false;
        const size_t open = rest.rfind('\'', rest.size() - 2);
        if (open == std::string::npos || open == 0 || rest[open - 1] != ' ') return false;
        field = rest.substr(open + 1, rest.size() - open - 2);
        rest.resize(open - 1);
        return true;
    }
    const size_t space = rest.rfind(' ');
    if (space == std::string::npos) return false;
    field = rest.substr(space + 1);
    rest.resize(space);
    return true;
}

std::string fit(const std::string& text, const Signature& signature, ShapedCommand& command) {
    const std::string kinds = signature.fields;
    std::vector<std::string> fields(kinds.size());
    std::string rest = text.substr(2);
    const size_t free = kinds.find('f');
    const size_t front = free == std::string::npos ? kinds.size() : free;
    for (size_t i = 0; i < front; ++i) {
        if (!takeFront(rest, kinds[i], fields[i])) return "fields do not fit";
    }
    for (size_t i = kinds.size(); i > front + 1; --i) {
        if (!takeBack(rest, kinds[i - 1], fields[i - 1])) return "fields do not fit";
    }
    if (free == std::string::npos) {
        if (!rest.empty()) return "fields do not fit";
    } else {
        if (rest.size() < 3 || rest[0] != ' ' || rest[1] != '\'' || rest.back() != '\'') {
            return "fields do not fit";
        }
        fields[free] = rest.substr(2, rest.size() - 3);
    }
    for (size_t i = 0; i < kinds.size(); ++i) {
        std::string error = fieldError(kinds[i], fields[i]);
        if (!error.empty()) return error;
    }
    if (signature.mnemonic == std::string("TP")) {
        const size_t equals = fields[0].find('=');
        if (equals == std::string::npos || equals == 0) return "property without '='";
        if (fields[0].find('\'') < equals) return "quote in the property name";
    }
    command.mnemonic = signature.mnemonic;
    command.fields = std::move(fields);
    command.panelField = signature.panel;
    command.controlField = signature.control;
    return {};
}

}  // namespace

std::string CommandShape::check(const std::string& text, ShapedCommand& command) {
    if (text.size() < 2) return "too short";
    if (text.size() > 2 && text[2] != ' ') return "no space after the mnemonic";
    const std::string mnemonic = text.substr(0, 2);
    std::string error = "unknown mnemonic";
    for (const Signature& signature : signatures) {
        if (mnemonic != signature.mnemonic) continue;
        const std::string fitted = fit(text, signature, command);
        if (fitted.empty()) return {};
        // The first form's reason is kept, unless a later form got further.
        if (error == "unknown mnemonic" || fitted != "fields do not fit") error = fitted;
    }
    return error;
}

std::string CommandShape::check(const std::string& text) {
    ShapedCommand ignored;
    return check(text, ignored);
}
