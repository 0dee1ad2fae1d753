// A broken boundary rule, as the checking host or the driver saw it. Each
// rule has one check that reports it (CheckCatalogue), so one fault shows as
// one failure.
#ifndef VALIDATOR_VIOLATION_H
#define VALIDATOR_VIOLATION_H

#include <string>

namespace zant::validate {

enum class Rule {
    command,   // a malformed command text, a bad mode, a control not in the layout
    handBack,  // a host reply not handed back once, or one that must not be
    afterAS,   // a command after "AS"
    result,    // a non-null result from a kind other than 3
    reply,     // a kind-3 reply that is not a proper text
    threw,     // a handler threw (the helper's line on the debugger output)
    freed,     // a command carries bytes of a freed block: a use after free
};

struct Violation {
    Rule rule;
    std::string what;
};

}  // namespace zant::validate

#endif  // VALIDATOR_VIOLATION_H
