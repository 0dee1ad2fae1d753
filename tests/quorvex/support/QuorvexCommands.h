// What Quorvex's commands must address beyond a well-formed shape: panel "1",
// the controls of its take/undo sub-panel and their properties, its layout
// file, its one event, the helper's alarm controls. Set on a CheckingHost with
// setCommandRule.
#ifndef TESTS_QUORVEX_SUPPORT_QUORVEX_COMMANDS_H
#define TESTS_QUORVEX_SUPPORT_QUORVEX_COMMANDS_H

#include <string>

#include "hosting/CommandGrammar.h"

// Empty when `command` (already well-formed) keeps Quorvex's rules.
std::string quorvexCommandError(const zant::hosting::ParsedCommand& command);

#endif  // TESTS_QUORVEX_SUPPORT_QUORVEX_COMMANDS_H
