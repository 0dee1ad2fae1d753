// The command language of the host, one row a mnemonic: the fields a command
// takes, what becomes of its reply, and the usage line a host quotes when a
// command does not fit. The shape check, the simulated host's dispatch and the
// hand-back ledger all read this table; `zant_reply_handed_back` in
// host/zant_host.h is the components' copy of its hand-back column, pinned to
// it by a test.
#ifndef HOSTING_COMMAND_GRAMMAR_H
#define HOSTING_COMMAND_GRAMMAR_H

#include <cstddef>
#include <string>

namespace zant::hosting {

// What the component does with the reply to a command.
enum class HandBack {
    never,       // ignores it
    testedOnly,  // tests it for null only ("PS"), never hands it back
    once,        // copies it and hands it back once with mode 5
};

// Field kinds, one letter a field, each after exactly one space:
//   n  a number: plain signed decimal within the int range
//   b  a flag: 0 or 1
//   p  a panel id, c a control name, q any other text: quoted, holding no quote
//   f  free text: quoted and taken verbatim, so it may hold quotes
//   a  an assignment 'property=value': free text whose property is not empty
//      and holds no quote
// A command has at most one free field (f or a): the quotes of the others
// pair up when read from both ends.
struct CommandForm {
    const char* mnemonic;
    const char* fields;
    // How many of the last fields may be left out.
    int optional;
    HandBack handBack;
    const char* usage;
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
};

}  // namespace zant::hosting

#endif  // HOSTING_COMMAND_GRAMMAR_H
