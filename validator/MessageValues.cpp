#include "validator/MessageValues.h"

#include "validator/ValidatorHost.h"

namespace zant::validate {

using zant::hosting::MessageShape;

namespace {

// What any value from a parent may be, whatever its shape: the component
// reads it, and may put it into a command.
std::vector<std::string> anyValue() {
    return {"", "it's", "' '", "%1 %s", "\x01\xff", std::string(1 << 16, 'x')};
}

// Numbers a parent sends, and texts that only look like one.
std::vector<std::string> numbers() {
    return {"0",
            "1",
            "-1",
            "2147483647",
            "-2147483648",
            "2147483648",
            "-2147483649",
            "99999999999999",
            "007",
            "+5",
            " 5",
            "5x",
            "x"};
}

std::vector<std::string> shaped(MessageShape shape) {
    switch (shape) {
        case MessageShape::source:
        case MessageShape::destination: {
            // The last index of the host's router and the first past it.
            std::vector<std::string> values = numbers();
            values.push_back(std::to_string(ValidatorHost::destinations));
            values.push_back(std::to_string(ValidatorHost::destinations + 1));
            return values;
        }
        case MessageShape::instance:
            return {"studio", "a b", "a=b", "a.b", "12", "-1", "\t"};
        case MessageShape::statesheet:
            return {"red", "a b", "a|b", "a=b", "'red'"};
        case MessageShape::boolean:
            return {"true", "false", "TRUE", "FALSE", "True",  "fAlSe",
                    "1",    "0",     "yes",  "truex", " true", "true "};
        case MessageShape::all:
            return {"all", "ALL", "All", "al", "all ", "allx"};
        case MessageShape::text:
            return {"text", "a b", "a=b", "''", "\\", "line\nline", "\t"};
        case MessageShape::none:
            return {"1"};
    }
    return {};
}

}  // namespace

std::string MessageValues::ordinary(const std::string& name, const Shape& shape, bool second) {
    if (!shape) return name + (second ? "=0" : "=1");
    switch (*shape) {
        case MessageShape::source:
        case MessageShape::destination:
            return name + (second ? "=0" : "=1");
        case MessageShape::instance:
            return name + (second ? "=studio-b" : "=studio");
        case MessageShape::statesheet:
            return name + (second ? "=" : "=red");
        case MessageShape::boolean:
            return name + (second ? "=false" : "=true");
        case MessageShape::all:
            return name + "=all";
        case MessageShape::text:
            return name + (second ? "=" : "=text");
        case MessageShape::none:
            return name;
    }
    return name;
}

std::vector<std::string> MessageValues::edges(const std::string& name, const Shape& shape) {
    // Undeclared: what the checks sent before components declared their
    // messages, numbers first.
    std::vector<std::string> values =
        shape ? shaped(*shape)
              : std::vector<std::string>{
                    "0", "1", "-1", "2147483647", "-2147483648", "99999999999999", "true", "FALSE"};
    const std::vector<std::string> any = anyValue();
    values.insert(values.end(), any.begin(), any.end());
    std::vector<std::string> texts = {name};
    for (const std::string& value : values) texts.push_back(name + "=" + value);
    return texts;
}

}  // namespace zant::validate
