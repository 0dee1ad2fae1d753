#include "hosting/CommandGrammar.h"

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
    {"RC", "nnnfb", 0, HandBack::never, "RC device source destination ',extra' flag"},
    {"RN", "nnn", 0, HandBack::once, "RN device database index"},
    {"RP", "nnn", 0, HandBack::never, "RP device first last"},
    {"RR", "nnnq", 1, HandBack::never, "RR device first last ['ADD']"},
    {"RU", "n", 0, HandBack::never, "RU device"},
    {"ET", "nn", 1, HandBack::never, "ET timer [interval]"},
    {"AS", "", 0, HandBack::never, "AS"},
};

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

}  // namespace zant::hosting
