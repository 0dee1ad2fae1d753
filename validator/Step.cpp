#include "validator/Step.h"

namespace zant::validate {

namespace {

constexpr size_t shownLength = 60;

std::string shown(const std::optional<std::string>& text) {
    if (!text) return "null";
    std::string out = "\"";
    for (size_t i = 0; i < text->size() && i < shownLength; ++i) {
        const unsigned char c = static_cast<unsigned char>((*text)[i]);
        if (c < 32 || c >= 127 || c == '"' || c == '\\') {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    if (text->size() > shownLength) out += "... (" + std::to_string(text->size()) + " characters)";
    return out;
}

}  // namespace

Step Step::revertive(int device, int index, int value) {
    Step step;
    step.kind = Kind::revertive;
    step.number[0] = device;
    step.number[1] = index;
    step.number[2] = value;
    return step;
}

Step Step::press(std::optional<std::string> panel, std::optional<std::string> id,
                 std::optional<std::string> text) {
    Step step;
    step.kind = Kind::press;
    step.panel = std::move(panel);
    step.id = std::move(id);
    step.text = std::move(text);
    return step;
}

Step Step::message(std::optional<std::string> text) {
    Step step;
    step.kind = Kind::message;
    step.text = std::move(text);
    return step;
}

Step Step::tick(int timer) {
    Step step;
    step.kind = Kind::tick;
    step.number[0] = timer;
    return step;
}

Step Step::word(int kind, int value) {
    Step step;
    step.kind = Kind::word;
    step.number[0] = kind;
    step.number[1] = value;
    return step;
}

std::string Step::describe() const {
    switch (kind) {
        case Kind::revertive:
            return "kind 1 revertive device " + std::to_string(number[0]) + " index " +
                   std::to_string(number[1]) + " value " + std::to_string(number[2]);
        case Kind::press:
            return "kind 2 press panel " + shown(panel) + " control " + shown(id) + " text " +
                   shown(text);
        case Kind::message:
            return "kind 3 message " + shown(text);
        case Kind::tick:
            return "kind 4 tick timer " + std::to_string(number[0]);
        case Kind::word:
            if ((number[0] == 1 || number[0] == 2) && number[1] == 0) {
                return "kind " + std::to_string(number[0]) + " null record";
            }
            return "kind " + std::to_string(number[0]) + " word " + std::to_string(number[1]);
    }
    return {};
}

}  // namespace zant::validate
