// The command language of the host, one row a mnemonic: the fields a command
// takes, what becomes of its reply, and the usage line a host quotes when a
// command does not fit. panel_host's simulated host and zant_validate read
// every command through its one `parse`, so the two tools cannot disagree on
// what is well-formed; the hand-back ledger reads it too.
// `zant_reply_handed_back` in host/zant_host.h is the components' copy of its
// hand-back column, pinned to it by a test.
#ifndef HOSTING_COMMAND_GRAMMAR_H
#define HOSTING_COMMAND_GRAMMAR_H

#include <cstddef>
#include <string>

#include "hosting/ParsedCommand.h"

namespace zant::hosting {

// What the component does with the reply to a command.
enum class HandBack {
    never,       // ignores it
    testedOnly,  // tests it for null only ("PS"), never hands it back
    once,        // copies it and hands it back once with mode 5
};

// Field kinds, one letter a field, each after exactly one space:
//   n  a number: plain signed decimal within the int range (no '+', no
//      leading zero, no "-0"), as the helper's operations format numbers
//   d  a device number: a number that names one of the host's routers
//   b  a flag: 0 or 1
//   p  a panel id, c a control name, q any other text: quoted, holding no quote
//   k  the row's keyword, quoted ('ADD')
//   f  free text: quoted and taken verbatim, so it may hold quotes
//   x  the extra text of a crosspoint: free text that starts with ','
//   a  an assignment 'property=value': free text whose property is not empty
//      and holds no quote
// A command has at most one free field (f, x or a): the quotes of the others
// pair up when read from both ends.
struct CommandForm {
    const char* mnemonic;
    const char* fields;
    // How many of the last fields may be left out.
    int optional;
    HandBack handBack;
    const char* usage;
    // The text of its k field.
    const char* keyword = nullptr;
};

class CommandGrammar {
public:
    static const CommandForm* begin();
    static const CommandForm* end();
    // The row of `mnemonic`; null for a mnemonic the host does not know.
    static const CommandForm* find(const std::string& mnemonic);
    // Whether the reply to `command` (a whole command text or its mnemonic)
    // comes back with mode 5.
    static bool handedBack(const std::string& command);
    // Reads `text` as the host does, into `command`. Empty when the text is
    // well-formed, else why not; `command.form` is set whenever the mnemonic
    // is known, so that a caller can tell an unknown command from a
    // malformed one. Optional fields are taken when they fit.
    static std::string parse(const std::string& text, ParsedCommand& command);
    // A number field: plain signed decimal within the int range.
    static bool readNumber(const std::string& text, int& value);
};

}  // namespace zant::hosting

#endif  // HOSTING_COMMAND_GRAMMAR_H
