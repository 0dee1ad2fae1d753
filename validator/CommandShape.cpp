#include "validator/CommandShape.h"

#include <climits>
#include <cstddef>
#include <cstring>

#include "hosting/CommandGrammar.h"

namespace zant::validate {

namespace {

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

// A quoted field that holds no quote; the free fields are read apart.
bool isQuoted(char kind) {
    return kind == 'p' || kind == 'c' || kind == 'q';
}

std::string fieldError(char kind, const std::string& field) {
    if (kind == 'n' && !isNumber(field)) return "field '" + field + "' is no plain decimal int";
    if (kind == 'b' && field != "0" && field != "1") return "flag '" + field + "' is not 0 or 1";
    if (kind == 'a') {
        const size_t equals = field.find('=');
        if (equals == std::string::npos || equals == 0) return "property without '='";
        if (field.find('\'') < equals) return "quote in the property name";
    }
    return {};
}

// Reads one field of `kind` off the front of `rest` (" field..."), into `field`.
bool takeFront(std::string& rest, char kind, std::string& field) {
    if (rest.size() < 2 || rest[0] != ' ') return false;
    if (isQuoted(kind)) {
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
    if (isQuoted(kind)) {
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

// Fits `text` to the form whose field kinds are `kinds`.
std::string fit(const std::string& text, const std::string& kinds, ShapedCommand& command) {
    std::vector<std::string> fields(kinds.size());
    std::string rest = text.substr(2);
    const size_t free = kinds.find_first_of("fa");
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
    const size_t panel = kinds.find('p');
    const size_t control = kinds.find('c');
    command.mnemonic = text.substr(0, 2);
    command.fields = std::move(fields);
    command.panelField = panel == std::string::npos ? -1 : static_cast<int>(panel);
    command.controlField = control == std::string::npos ? -1 : static_cast<int>(control);
    return {};
}

}  // namespace

std::string CommandShape::check(const std::string& text, ShapedCommand& command) {
    if (text.size() < 2) return "too short";
    if (text.size() > 2 && text[2] != ' ') return "no space after the mnemonic";
    const zant::hosting::CommandForm* form = zant::hosting::CommandGrammar::find(text.substr(0, 2));
    if (form == nullptr) return "unknown mnemonic";
    // Tried shortest first, each optional field added in turn.
    const size_t all = std::strlen(form->fields);
    std::string error;
    for (size_t count = all - static_cast<size_t>(form->optional); count <= all; ++count) {
        const std::string fitted = fit(text, std::string(form->fields, count), command);
        if (fitted.empty()) return {};
        // The shortest form's reason is kept, unless a longer one got further.
        if (error.empty() || fitted != "fields do not fit") error = fitted;
    }
    return error;
}

std::string CommandShape::check(const std::string& text) {
    ShapedCommand ignored;
    return check(text, ignored);
}

}  // namespace zant::validate
