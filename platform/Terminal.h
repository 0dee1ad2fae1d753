// Whether standard input is a terminal: a tool reads steps with a prompt
// there, and a whole script otherwise.
#ifndef PLATFORM_TERMINAL_H
#define PLATFORM_TERMINAL_H

namespace zant::platform {

bool standardInputIsTerminal();

}  // namespace zant::platform

#endif  // PLATFORM_TERMINAL_H
