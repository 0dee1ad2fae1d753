#include "routers/GlowReader.h"

#include <utility>

namespace zant::routers {

namespace {

// Application tags of the Glow types read here.
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

bool kindOf(const BerTag& tag, GlowItem::Kind& kind, bool& qualified) {
    if (tag.tagClass != BerTag::Class::application) return false;
    switch (tag.number) {
        case parameter:
            kind = GlowItem::Kind::parameter;
            qualified = false;
            return true;
        case node:
            kind = GlowItem::Kind::node;
            qualified = false;
            return true;
        case matrix:
            kind = GlowItem::Kind::matrix;
            qualified = false;
            return true;
        case qualifiedParameter:
            kind = GlowItem::Kind::parameter;
            qualified = true;
            return true;
        case qualifiedNode:
            kind = GlowItem::Kind::node;
            qualified = true;
            return true;
        case qualifiedMatrix:
            kind = GlowItem::Kind::matrix;
            qualified = true;
            return true;
        default:
            return false;
    }
}

bool inUint32(std::int64_t value) {
    return value >= 0 && value <= 0xFFFFFFFFLL;
}

}  // namespace

GlowReader::Result GlowReader::read(const std::uint8_t* data, size_t size) {
    Result result;
    GlowReader reader(result);
    BerReader top(data, size);
    BerElement element;
    while (top.next(element)) {
        if (element.tag.isApplication(Glow::root)) {
            reader.root(element);
        } else {
            reader.problem("a message element that is not a Glow root was skipped");
        }
    }
    if (top.failed() || reader.malformed_) {
        result.ok = false;
        result.items.clear();
        reader.problem("a malformed message was dropped");
    }
    return result;
}

template <typename Visit>
void GlowReader::forEach(const BerElement& container, Visit visit) {
    BerReader reader = BerReader::children(container);
    BerElement element;
    while (!malformed_ && reader.next(element)) visit(element);
    if (reader.failed()) malformed_ = true;
}

bool GlowReader::unwrap(const BerElement& wrapper, BerElement& inner) {
    BerReader reader = BerReader::children(wrapper);
    if (reader.next(inner)) return true;
    if (reader.failed()) malformed_ = true;
    return false;
}

bool GlowReader::integerField(const BerElement& wrapper, std::int64_t& value) {
    BerElement inner;
    return unwrap(wrapper, inner) && BerReader::readInteger(inner, value);
}

bool GlowReader::stringField(const BerElement& wrapper, std::string& value) {
    BerElement inner;
    return unwrap(wrapper, inner) && BerReader::readUtf8(inner, value);
}

bool GlowReader::add(GlowItem item) {
    if (result_.items.size() >= maxItems) {
        problem("a message of more than " + std::to_string(maxItems) + " elements was dropped");
        malformed_ = true;
        return false;
    }
    result_.items.push_back(std::move(item));
    return true;
}

void GlowReader::problem(std::string text) {
    if (result_.problems.size() < maxProblems) result_.problems.push_back(std::move(text));
}

void GlowReader::root(const BerElement& element) {
    forEach(element, [&](const BerElement& child) {
        // Streams and invocation results are of no use to a matrix client.
        if (child.tag.isApplication(rootElementCollection)) {
            forEach(child, [&](const BerElement& wrapper) {
                BerElement inner;
                if (wrapper.tag.isContext(0) && unwrap(wrapper, inner)) {
                    this->element(inner, {}, GlowItem::Kind::node);
                }
            });
        }
    });
}

void GlowReader::collection(const BerElement& wrapper, const std::vector<std::uint32_t>& parent,
                            GlowItem::Kind parentKind) {
    BerElement elements;
    if (!unwrap(wrapper, elements) || !elements.tag.constructed) return;
    forEach(elements, [&](const BerElement& item) {
        BerElement inner;
        if (item.tag.isContext(0) && unwrap(item, inner)) element(inner, parent, parentKind);
    });
}

void GlowReader::element(const BerElement& element, const std::vector<std::uint32_t>& parent,
                         GlowItem::Kind parentKind) {
    if (element.tag.isApplication(Glow::command)) return this->command(element, parent, parentKind);
    GlowItem item;
    bool qualified = false;
    if (!kindOf(element.tag, item.kind, qualified) || !element.tag.constructed) return;
    // Fields may come in any order, and the path must be known before the
    // children are read: find them first.
    BerElement fields[6];
    bool present[6] = {};
    forEach(element, [&](const BerElement& field) {
        if (field.tag.tagClass == BerTag::Class::context && field.tag.number < 6) {
            fields[field.tag.number] = field;
            present[field.tag.number] = true;
        }
    });
    if (malformed_) return;
    bool located = false;
    if (present[0]) {
        BerElement inner;
        if (qualified) {
            located = unwrap(fields[0], inner) &&
                      BerReader::readRelativeOid(inner, item.path, maxPath) && !item.path.empty();
        } else {
            std::int64_t number = 0;
            located =
                integerField(fields[0], number) && inUint32(number) && parent.size() < maxPath;
            if (located) {
                item.path = parent;
                item.path.push_back(static_cast<std::uint32_t>(number));
            }
        }
    }
    if (!located) {
        if (!malformed_) problem("an element without a sound number or path was skipped");
        return;
    }
    if (present[1]) contents(fields[1], item);
    if (item.kind == GlowItem::Kind::matrix) {
        if (present[3]) signals(fields[3], target, item.targets);
        if (present[4]) signals(fields[4], source, item.sources);
        if (present[5]) connections(fields[5], item);
    }
    if (malformed_) return;
    const std::vector<std::uint32_t> path = item.path;
    const GlowItem::Kind kind = item.kind;
    if (!add(std::move(item))) return;
    if (present[2]) collection(fields[2], path, kind);
}

void GlowReader::command(const BerElement& element, const std::vector<std::uint32_t>& parent,
                         GlowItem::Kind parentKind) {
    GlowItem item;
    item.kind = GlowItem::Kind::command;
    item.path = parent;
    item.commandOn = parentKind;
    bool numbered = false;
    forEach(element, [&](const BerElement& field) {
        if (field.tag.isContext(0)) numbered = integerField(field, item.command);
    });
    if (malformed_) return;
    if (!numbered) {
        problem("a command without its number was skipped");
        return;
    }
    add(std::move(item));
}

void GlowReader::contents(const BerElement& wrapper, GlowItem& item) {
    BerElement set;
    if (!unwrap(wrapper, set) || !set.tag.constructed) return;
    const bool isMatrix = item.kind == GlowItem::Kind::matrix;
    forEach(set, [&](const BerElement& field) {
        if (field.tag.tagClass != BerTag::Class::context) return;
        std::string text;
        std::int64_t number = 0;
        BerElement inner;
        switch (field.tag.number) {
            case 0:
                if (stringField(field, text)) item.identifier = std::move(text);
                break;
            case 1:
                if (stringField(field, text)) item.description = std::move(text);
                break;
            case 2:
                if (isMatrix && integerField(field, number)) item.matrixType = number;
                if (item.kind == GlowItem::Kind::parameter && unwrap(field, inner)) {
                    value(inner, item);
                }
                break;
            case 3:
                if (isMatrix && integerField(field, number)) item.addressingMode = number;
                break;
            case 4:
                if (isMatrix && integerField(field, number) && number >= 0)
                    item.targetCount = number;
                break;
            case 5:
                if (isMatrix && integerField(field, number) && number >= 0)
                    item.sourceCount = number;
                break;
            case 10:
                if (isMatrix) labels(field, item);
                break;
            default:
                break;
        }
    });
}

void GlowReader::value(const BerElement& inner, GlowItem& item) {
    using Type = GlowItem::Value::Type;
    GlowItem::Value& value = item.value;
    if (BerReader::readInteger(inner, value.integer)) {
        value.type = Type::integer;
    } else if (BerReader::readUtf8(inner, value.text)) {
        value.type = Type::string;
    } else if (BerReader::readReal(inner, value.real)) {
        value.type = Type::real;
    } else if (BerReader::readBoolean(inner, value.boolean)) {
        value.type = Type::boolean;
    } else if (BerReader::readOctets(inner, value.text)) {
        value.type = Type::octets;
    } else if (BerReader::readNull(inner)) {
        value.type = Type::null;
    }
}

void GlowReader::labels(const BerElement& wrapper, GlowItem& item) {
    BerElement sequence;
    if (!unwrap(wrapper, sequence) || !sequence.tag.constructed) return;
    forEach(sequence, [&](const BerElement& entry) {
        BerElement labelElement;
        if (!entry.tag.isContext(0) || !unwrap(entry, labelElement) ||
            !labelElement.tag.isApplication(label) || !labelElement.tag.constructed) {
            return;
        }
        GlowItem::Label found;
        bool located = false;
        forEach(labelElement, [&](const BerElement& field) {
            BerElement inner;
            if (field.tag.isContext(0)) {
                located = unwrap(field, inner) &&
                          BerReader::readRelativeOid(inner, found.basePath, maxPath);
            } else if (field.tag.isContext(1)) {
                stringField(field, found.description);
            }
        });
        if (located && item.labels.size() < maxEntries) item.labels.push_back(std::move(found));
    });
}

void GlowReader::signals(const BerElement& wrapper, std::uint32_t tag,
                         std::optional<std::vector<std::uint32_t>>& numbers) {
    BerElement sequence;
    if (!unwrap(wrapper, sequence) || !sequence.tag.constructed) return;
    std::vector<std::uint32_t> found;
    forEach(sequence, [&](const BerElement& entry) {
        BerElement signal;
        if (!entry.tag.isContext(0) || !unwrap(entry, signal) || !signal.tag.isApplication(tag) ||
            !signal.tag.constructed) {
            return;
        }
        forEach(signal, [&](const BerElement& field) {
            std::int64_t number = 0;
            if (!field.tag.isContext(0) || !integerField(field, number) || !inUint32(number))
                return;
            if (found.size() >= maxEntries) {
                problem("a list longer than " + std::to_string(maxEntries) + " was dropped");
                malformed_ = true;
                return;
            }
            found.push_back(static_cast<std::uint32_t>(number));
        });
    });
    numbers = std::move(found);
}

void GlowReader::connections(const BerElement& wrapper, GlowItem& item) {
    BerElement sequence;
    if (!unwrap(wrapper, sequence) || !sequence.tag.constructed) return;
    forEach(sequence, [&](const BerElement& entry) {
        BerElement element;
        if (!entry.tag.isContext(0) || !unwrap(entry, element) ||
            !element.tag.isApplication(connection) || !element.tag.constructed) {
            return;
        }
        GlowItem::Connection found;
        bool targeted = false;
        bool soundSources = true;
        forEach(element, [&](const BerElement& field) {
            if (field.tag.tagClass != BerTag::Class::context) return;
            std::int64_t number = 0;
            BerElement inner;
            switch (field.tag.number) {
                case 0:
                    targeted = integerField(field, number) && inUint32(number);
                    found.target = static_cast<std::uint32_t>(number);
                    break;
                case 1:
                    if (unwrap(field, inner) &&
                        !BerReader::readRelativeOid(inner, found.sources, maxEntries)) {
                        soundSources = false;
                    }
                    break;
                case 2:
                    if (integerField(field, number)) found.operation = number;
                    break;
                case 3:
                    if (integerField(field, number)) found.disposition = number;
                    break;
                default:
                    break;
            }
        });
        if (!targeted || !soundSources) {
            if (!malformed_) problem("a connection without a sound target or sources was skipped");
            return;
        }
        if (item.connections.size() >= maxEntries) {
            problem("more than " + std::to_string(maxEntries) + " connections were dropped");
            malformed_ = true;
            return;
        }
        item.connections.push_back(std::move(found));
    });
}

}  // namespace zant::routers
