// The values the checks send a parent message with. A message the component
// declares (NAME.zant_messages, hosting/MessagesReader) is sent with values
// of its declared shape: ordinary ones, as a parent panel sends them, and the
// edges of that shape that a parent may send as well (an index past the int
// range, a boolean in another letter case, "all" cut short), besides what any
// value may be (empty, quotes, 64 KiB). A message known only from the
// component's "_commands" reply has no known shape: it is sent with numbers
// and a few words of every shape.
#ifndef VALIDATOR_MESSAGE_VALUES_H
#define VALIDATOR_MESSAGE_VALUES_H

#include <optional>
#include <string>
#include <vector>

#include "hosting/MessagesReader.h"

namespace zant::validate {

class MessageValues {
public:
    // The declared shape of a message; none when it is not declared.
    using Shape = std::optional<zant::hosting::MessageShape>;

    // `name` with an ordinary value of `shape`; `second` picks another one
    // where the shape has two (false after true, 0 after 1). A message
    // without a value is its bare name.
    static std::string ordinary(const std::string& name, const Shape& shape, bool second = false);
    // `name` bare, then with each edge value of `shape`.
    static std::vector<std::string> edges(const std::string& name, const Shape& shape);
};

}  // namespace zant::validate

#endif  // VALIDATOR_MESSAGE_VALUES_H
