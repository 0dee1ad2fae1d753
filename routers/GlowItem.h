// One element of an Ember+ tree as a flat record: a node, a parameter, a
// matrix or a command, with its whole path (numbers from the root). What the
// Glow reader gives and the Glow writer takes. A field a message left out
// stays unset: an update may carry a matrix's connections alone, and an
// absent count is not 0.
#ifndef ROUTERS_GLOW_ITEM_H
#define ROUTERS_GLOW_ITEM_H

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zant::routers {

struct GlowItem {
    enum class Kind { node, parameter, matrix, command };
    enum MatrixType : std::int64_t { oneToN = 0, oneToOne = 1, nToN = 2 };
    enum Addressing : std::int64_t { linear = 0, nonLinear = 1 };
    enum Operation : std::int64_t { absolute = 0, connect = 1, disconnect = 2 };
    enum Disposition : std::int64_t { tally = 0, modified = 1, pending = 2, locked = 3 };
    enum Command : std::int64_t {
        subscribe = 30,
        unsubscribe = 31,
        getDirectory = 32,
        invoke = 33
    };

    struct Value {
        enum class Type { none, integer, real, string, boolean, octets, null };
        Type type = Type::none;
        std::int64_t integer = 0;
        double real = 0.0;
        std::string text;  // a string's or octets' bytes
        bool boolean = false;

        static Value ofString(std::string text) {
            Value value;
            value.type = Type::string;
            value.text = std::move(text);
            return value;
        }
        static Value ofInteger(std::int64_t integer) {
            Value value;
            value.type = Type::integer;
            value.integer = integer;
            return value;
        }
    };

    struct Label {
        std::vector<std::uint32_t> basePath;
        std::string description;
    };

    struct Connection {
        std::uint32_t target = 0;
        std::vector<std::uint32_t> sources;  // none when absent or empty
        std::int64_t operation = absolute;   // the default when absent
        std::int64_t disposition = tally;    // the default when absent
    };

    Kind kind = Kind::node;
    // A command's path is the path of the element it is for (empty: the
    // root), and commandOn that element's kind.
    std::vector<std::uint32_t> path;
    std::optional<std::string> identifier;
    std::optional<std::string> description;

    Value value;  // a parameter's

    std::optional<std::int64_t> matrixType;
    std::optional<std::int64_t> addressingMode;
    std::optional<std::int64_t> targetCount;
    std::optional<std::int64_t> sourceCount;
    std::optional<std::vector<std::uint32_t>> targets;  // a non-linear matrix's numbers
    std::optional<std::vector<std::uint32_t>> sources;
    std::vector<Label> labels;
    std::vector<Connection> connections;

    std::int64_t command = 0;
    Kind commandOn = Kind::node;
};

}  // namespace zant::routers

#endif  // ROUTERS_GLOW_ITEM_H
