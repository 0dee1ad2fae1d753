// A command text as the host reads it: the row of the command grammar it
// fits and its fields, quotes taken off, each number read once.
#ifndef HOSTING_PARSED_COMMAND_H
#define HOSTING_PARSED_COMMAND_H

#include <string>
#include <vector>

namespace zant::hosting {

struct CommandForm;

struct ParsedCommand {
    // The grammar's row; null when the mnemonic is unknown.
    const CommandForm* form = nullptr;
    std::string mnemonic;
    // Every field given (optional ones left out are absent), quotes taken off.
    std::vector<std::string> fields;
    // Per field: the value of a number, device or flag field, else 0.
    std::vector<int> numbers;
    // Index in `fields` of the panel id, the control name and the device
    // number; -1 for none.
    int panelField = -1;
    int controlField = -1;
    int deviceField = -1;

    bool has(size_t field) const { return field < fields.size(); }
    const std::string& text(size_t field) const { return fields[field]; }
    int number(size_t field) const { return numbers[field]; }
    // The device the command addresses; 0 when it addresses none.
    int device() const { return deviceField < 0 ? 0 : numbers[static_cast<size_t>(deviceField)]; }
};

}  // namespace zant::hosting

#endif  // HOSTING_PARSED_COMMAND_H
