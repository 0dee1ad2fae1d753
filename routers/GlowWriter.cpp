#include "routers/GlowWriter.h"

namespace zant::routers {

namespace {

enum Glow : std::uint32_t {
    root = 0,
    parameter = 1,
    command = 2,
    node = 3,
    elementCollection = 4,
    rootElementCollection = 11,
    qualifiedParameter = 9,
    qualifiedNode = 10,
    matrix = 13,
    target = 14,
    source = 15,
    connection = 16,
    qualifiedMatrix = 17,
    label = 18,
};

std::uint32_t tagOf(GlowItem::Kind kind, bool qualified) {
    switch (kind) {
        case GlowItem::Kind::parameter:
            return qualified ? qualifiedParameter : parameter;
        case GlowItem::Kind::matrix:
            return qualified ? qualifiedMatrix : matrix;
        case GlowItem::Kind::node:
        case GlowItem::Kind::command:
            break;
    }
    return qualified ? qualifiedNode : node;
}

// [2] children, an ElementCollection, and its first [0] item open.
void beginChild(BerWriter& writer) {
    writer.beginContext(2);
    writer.beginApplication(elementCollection);
    writer.beginContext(0);
}

void endChild(BerWriter& writer) {
    writer.end();
    writer.end();
    writer.end();
}

void signals(BerWriter& writer, std::uint32_t field, std::uint32_t tag,
             const std::vector<std::uint32_t>& numbers) {
    writer.beginContext(field);
    writer.beginSequence();
    for (const std::uint32_t number : numbers) {
        writer.beginContext(0);
        writer.beginApplication(tag);
        writer.contextInteger(0, number);
        writer.end();
        writer.end();
    }
    writer.end();
    writer.end();
}

void value(BerWriter& writer, const GlowItem::Value& value) {
    using Type = GlowItem::Value::Type;
    writer.beginContext(2);
    switch (value.type) {
        case Type::integer:
            writer.integer(value.integer);
            break;
        case Type::real:
            writer.real(value.real);
            break;
        case Type::string:
            writer.utf8(value.text);
            break;
        case Type::boolean:
            writer.boolean(value.boolean);
            break;
        case Type::octets:
            writer.octets(value.text);
            break;
        case Type::null:
        case Type::none:
            writer.null();
            break;
    }
    writer.end();
}

}  // namespace

std::vector<std::uint8_t> GlowWriter::encode(const std::vector<GlowItem>& items, Form form) {
    BerWriter writer;
    writer.beginApplication(root);
    writer.beginApplication(rootElementCollection);
    for (const GlowItem& each : items) {
        writer.beginContext(0);
        item(writer, each, form);
        writer.end();
    }
    writer.end();
    writer.end();
    return writer.take();
}

std::vector<std::uint8_t> GlowWriter::getDirectory(const std::vector<std::uint32_t>& path,
                                                   GlowItem::Kind kind, Form form) {
    GlowItem ask;
    ask.kind = GlowItem::Kind::command;
    ask.path = path;
    ask.commandOn = kind;
    ask.command = GlowItem::getDirectory;
    return encode({ask}, form);
}

std::vector<std::uint8_t> GlowWriter::connect(const std::vector<std::uint32_t>& path,
                                              const GlowItem::Connection& connection, Form form) {
    GlowItem change;
    change.kind = GlowItem::Kind::matrix;
    change.path = path;
    change.connections.push_back(connection);
    return encode({change}, form);
}

void GlowWriter::item(BerWriter& writer, const GlowItem& item, Form form) {
    if (item.kind == GlowItem::Kind::command && item.path.empty()) return command(writer, item);
    if (form == Form::qualified) return element(writer, item, true);
    // Nested: a node for each step above the item, each holding the next.
    for (size_t step = 0; step + 1 < item.path.size(); ++step) {
        writer.beginApplication(node);
        writer.contextInteger(0, item.path[step]);
        beginChild(writer);
    }
    element(writer, item, false);
    for (size_t step = 0; step + 1 < item.path.size(); ++step) {
        endChild(writer);
        writer.end();
    }
}

void GlowWriter::element(BerWriter& writer, const GlowItem& item, bool qualified) {
    const bool isCommand = item.kind == GlowItem::Kind::command;
    writer.beginApplication(tagOf(isCommand ? item.commandOn : item.kind, qualified));
    if (qualified) {
        writer.contextRelativeOid(0, item.path);
    } else {
        writer.contextInteger(0, item.path.empty() ? 0 : item.path.back());
    }
    if (isCommand) {
        beginChild(writer);
        command(writer, item);
        endChild(writer);
    } else {
        body(writer, item);
    }
    writer.end();
}

void GlowWriter::body(BerWriter& writer, const GlowItem& item) {
    contents(writer, item);
    if (item.kind != GlowItem::Kind::matrix) return;
    if (item.targets) signals(writer, 3, target, *item.targets);
    if (item.sources) signals(writer, 4, source, *item.sources);
    if (item.connections.empty()) return;
    writer.beginContext(5);
    writer.beginSequence();
    for (const GlowItem::Connection& each : item.connections) {
        writer.beginContext(0);
        writer.beginApplication(connection);
        writer.contextInteger(0, each.target);
        writer.contextRelativeOid(1, each.sources);
        writer.contextInteger(2, each.operation);
        if (each.disposition != GlowItem::tally) writer.contextInteger(3, each.disposition);
        writer.end();
        writer.end();
    }
    writer.end();
    writer.end();
}

void GlowWriter::contents(BerWriter& writer, const GlowItem& item) {
    const bool isParameter = item.kind == GlowItem::Kind::parameter;
    const bool any = item.identifier || item.description || item.matrixType ||
                     item.addressingMode || item.targetCount || item.sourceCount ||
                     !item.labels.empty() ||
                     (isParameter && item.value.type != GlowItem::Value::Type::none);
    if (!any) return;
    writer.beginContext(1);
    writer.beginSet();
    if (item.identifier) writer.contextUtf8(0, *item.identifier);
    if (item.description) writer.contextUtf8(1, *item.description);
    if (isParameter && item.value.type != GlowItem::Value::Type::none) value(writer, item.value);
    if (item.matrixType) writer.contextInteger(2, *item.matrixType);
    if (item.addressingMode) writer.contextInteger(3, *item.addressingMode);
    if (item.targetCount) writer.contextInteger(4, *item.targetCount);
    if (item.sourceCount) writer.contextInteger(5, *item.sourceCount);
    if (!item.labels.empty()) {
        writer.beginContext(10);
        writer.beginSequence();
        for (const GlowItem::Label& each : item.labels) {
            writer.beginContext(0);
            writer.beginApplication(label);
            writer.contextRelativeOid(0, each.basePath);
            writer.contextUtf8(1, each.description);
            writer.end();
            writer.end();
        }
        writer.end();
        writer.end();
    }
    writer.end();
    writer.end();
}

void GlowWriter::command(BerWriter& writer, const GlowItem& item) {
    writer.beginApplication(Glow::command);
    writer.contextInteger(0, item.command);
    writer.end();
}

}  // namespace zant::routers
