#include "hosting/CommandGrammar.h"

#include <climits>
#include <cstring>
#include <iterator>

namespace zant::hosting {

namespace {

constexpr CommandForm forms[] = {
    {"PS", "pfq", 1, HandBack::testedOnly, "PS 'panel' 'file' ['extra']"},
    {"TP", "apc", 0, HandBack::never, "TP 'property=value' 'panel' 'control'"},
    {"TG", "pcq", 0, HandBack::once, "TG 'panel' 'control' 'property'"},
    {"CE", "pc", 0, HandBack::never, "CE 'panel' 'control'"},
    {"CD", "pc", 0, HandBack::never, "CD 'panel' 'control'"},
    {"HN", "f", 0, HandBack::never, "HN 'event'"},
    {"SD", "f", 0, HandBack::once, "SD 'instance'"},
    {"XI", "pq", 0, HandBack::once, "XI 'panel' 'pattern'"},
    {"RC", "dnnxb", 0, HandBack::never, "RC device source destination ',extra' flag"},
    {"RN", "dnn", 0, HandBack::once, "RN device database index"},
    {"RP", "dnn", 0, HandBack::never, "RP device first last"},
    {"RR", "dnnk", 1, HandBack::never, "RR device first last ['ADD']", "ADD"},
    {"RU", "d", 0, HandBack::never, "RU device"},
    {"ET", "nn", 1, HandBack::never, "ET timer [interval]"},
    {"AS", "", 0, HandBack::never, "AS"},
};

const std::string doNotFit = "fields do not fit";

bool isQuoted(char kind) {
    return kind == 'p' || kind == 'c' || kind == 'q' || kind == 'k';
}

// Why `field` is no field of `kind`; empty when it is one.
std::string fieldError(const CommandForm& form, char kind, const std::string& field, int& number) {
    switch (kind) {
        case 'n':
        case 'd':
            return CommandGrammar::readNumber(field, number)
                       ? std::string()
                       : "field '" + field + "' is no plain decimal int";
        case 'b':
            number = field == "1" ? 1 : 0;
            return field == "0" || field == "1" ? std::string()
                                                : "flag '" + field + "' is not 0 or 1";
        case 'k':
            return field == form.keyword ? std::string()
                                         : "'" + field + "' is not '" + form.keyword + "'";
        case 'x':
            return field.empty() || field[0] != ',' ? "extra text without ','" : std::string();
        case 'a': {
            const size_t equals = field.find('=');
            if (equals == std::string::npos || equals == 0) return "property without '='";
            if (field.find('\'') < equals) return "quote in the property name";
            return {};
        }
        default:
            return {};
    }
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

// Fits the fields after the mnemonic to `kinds`, the first fields of `form`.
std::string fit(const std::string& text, const CommandForm& form, const std::string& kinds,
                ParsedCommand& command) {
    std::vector<std::string> fields(kinds.size());
    std::string rest = text.substr(2);
    const size_t free = kinds.find_first_of("fxa");
    const size_t front = free == std::string::npos ? kinds.size() : free;
    for (size_t i = 0; i < front; ++i) {
        if (!takeFront(rest, kinds[i], fields[i])) return doNotFit;
    }
    for (size_t i = kinds.size(); i > front + 1; --i) {
        if (!takeBack(rest, kinds[i - 1], fields[i - 1])) return doNotFit;
    }
    if (free == std::string::npos) {
        if (!rest.empty()) return doNotFit;
    } else {
        if (rest.size() < 3 || rest[0] != ' ' || rest[1] != '\'' || rest.back() != '\'') {
            return doNotFit;
        }
        fields[free] = rest.substr(2, rest.size() - 3);
    }
    std::vector<int> numbers(kinds.size(), 0);
    for (size_t i = 0; i < kinds.size(); ++i) {
        std::string error = fieldError(form, kinds[i], fields[i], numbers[i]);
        if (!error.empty()) return error;
    }
    const auto indexOf = [&kinds](char kind) {
        const size_t at = kinds.find(kind);
        return at == std::string::npos ? -1 : static_cast<int>(at);
    };
    command.fields = std::move(fields);
    command.numbers = std::move(numbers);
    command.panelField = indexOf('p');
    command.controlField = indexOf('c');
    command.deviceField = indexOf('d');
    return {};
}

}  // namespace

const CommandForm* CommandGrammar::begin() {
    return std::begin(forms);
}

const CommandForm* CommandGrammar::end() {
    return std::end(forms);
}

const CommandForm* CommandGrammar::find(const std::string& mnemonic) {
    for (const CommandForm& form : forms) {
        if (mnemonic == form.mnemonic) return &form;
    }
    return nullptr;
}

bool CommandGrammar::handedBack(const std::string& command) {
    if (command.size() > 2 && command[2] != ' ') return false;
    const CommandForm* form = find(command.substr(0, 2));
    return form != nullptr && form->handBack == HandBack::once;
}

bool CommandGrammar::readNumber(const std::string& text, int& value) {
    const bool negative = !text.empty() && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (first >= text.size()) return false;
    // "0" alone: no padding, and no "-0", which no formatting of an int gives.
    if (text[first] == '0' && (text.size() > first + 1 || negative)) return false;
    long long magnitude = 0;
    for (size_t at = first; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (!negative && magnitude > INT_MAX) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

std::string CommandGrammar::parse(const std::string& text, ParsedCommand& command) {
    command = ParsedCommand{};
    if (text.size() < 2) return "too short";
    command.mnemonic = text.substr(0, 2);
    if (text.size() > 2 && text[2] != ' ') return "no space after the mnemonic";
    command.form = find(command.mnemonic);
    if (command.form == nullptr) return "unknown mnemonic";
    // The longest form first: an optional field is taken when it fits.
    const size_t all = std::strlen(command.form->fields);
    const size_t fewest = all - static_cast<size_t>(command.form->optional);
    std::string error;
    for (size_t count = all + 1; count-- > fewest;) {
        const std::string fitted =
            fit(text, *command.form, std::string(command.form->fields, count), command);
        if (fitted.empty()) return {};
        // The reason of a form the fields fit in says most.
        if (error.empty() || error == doNotFit) error = fitted;
    }
    return error;
}

}  // namespace zant::hosting
