// What a well-formed command text looks like, whichever component sends it: a
// mnemonic of the command grammar (hosting/CommandGrammar), then the fields of
// its row, each after exactly one space; numbers in plain signed decimal
// within the int range; text fields (panel ids, control names, properties) in
// single quotes.
//
// Text fields are inserted verbatim, so the one free-text field of a command
// (a value from the parent panel, a name or path from the host) may itself
// hold quotes; the fields around it hold none, so the quotes of every other
// field pair up exactly, read from both ends. Nothing here knows which panels
// or controls a component has.
#ifndef VALIDATOR_COMMAND_SHAPE_H
#define VALIDATOR_COMMAND_SHAPE_H

#include <string>
#include <vector>

namespace zant::validate {

// A command split into its mnemonic and its fields, quotes taken off.
struct ShapedCommand {
    std::string mnemonic;
    std::vector<std::string> fields;
    // Index in `fields` of the panel id and the control name; -1 for none.
    int panelField = -1;
    int controlField = -1;
};

class CommandShape {
public:
    // Empty when `text` is well-formed (then `command` holds its parts), else
    // why it is not.
    static std::string check(const std::string& text, ShapedCommand& command);
    static std::string check(const std::string& text);
};

}  // namespace zant::validate

#endif  // VALIDATOR_COMMAND_SHAPE_H
