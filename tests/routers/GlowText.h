// Glow items as one line of text each, for tests to compare: every field an
// item holds and none it lacks.
#ifndef TESTS_ROUTERS_GLOW_TEXT_H
#define TESTS_ROUTERS_GLOW_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "routers/GlowItem.h"
#include "routers/GlowReader.h"

namespace zant::routers::test {

inline std::string dotted(const std::vector<std::uint32_t>& path) {
    std::string text;
    for (const std::uint32_t number : path)
        text += (text.empty() ? "" : ".") + std::to_string(number);
    return text;
}

inline std::string render(const GlowItem& item) {
    static const char* const kinds[] = {"node", "parameter", "matrix", "command"};
    std::string text = std::string(kinds[static_cast<int>(item.kind)]) + " " + dotted(item.path);
    if (item.identifier) text += " id=" + *item.identifier;
    if (item.description) text += " desc=" + *item.description;
    if (item.value.type == GlowItem::Value::Type::string)
        text += " value='" + item.value.text + "'";
    if (item.value.type == GlowItem::Value::Type::integer) {
        text += " value=" + std::to_string(item.value.integer);
    }
    if (item.matrixType) text += " type=" + std::to_string(*item.matrixType);
    if (item.addressingMode) text += " mode=" + std::to_string(*item.addressingMode);
    if (item.targetCount) text += " targets=" + std::to_string(*item.targetCount);
    if (item.sourceCount) text += " sources=" + std::to_string(*item.sourceCount);
    if (item.targets) text += " targetList=[" + dotted(*item.targets) + "]";
    if (item.sources) text += " sourceList=[" + dotted(*item.sources) + "]";
    for (const GlowItem::Label& label : item.labels) {
        text += " label=" + dotted(label.basePath) + ":" + label.description;
    }
    for (const GlowItem::Connection& c : item.connections) {
        text += " conn=" + std::to_string(c.target) + "<[" + dotted(c.sources) + "]op" +
                std::to_string(c.operation) + "d" + std::to_string(c.disposition);
    }
    if (item.kind == GlowItem::Kind::command) {
        text += " cmd=" + std::to_string(item.command) + " on " +
                kinds[static_cast<int>(item.commandOn)];
    }
    return text;
}

inline std::vector<std::string> render(const GlowReader::Result& result) {
    std::vector<std::string> lines;
    for (const GlowItem& item : result.items) lines.push_back(render(item));
    return lines;
}

}  // namespace zant::routers::test

#endif  // TESTS_ROUTERS_GLOW_TEXT_H
