// The step language of scenario files and of the interactive mode: one step a
// line, '#' starts a comment line, blank lines are skipped. One table holds
// each step's name, usage, meaning, reader and handler; the help text is made
// from it.
#ifndef SIMULATOR_STEP_PARSER_H
#define SIMULATOR_STEP_PARSER_H

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/ComponentMessages.h"

namespace zant::simulator {

class Simulator;
struct StepSyntax;

// One step as read from a line: the row of the step table that read it and
// the values its reader took from the line.
struct Step {
    const StepSyntax* syntax = nullptr;
    std::string where;  // "file:line", for messages
    std::string text;   // message, event text, note, expected text, show target
    std::string control;
    std::string property;
    bool noReply = false;  // expect reply none
    // route and expect route: device, source, destination; tick: timer;
    // show router: device (0: the routers in use), first and last index (0: all).
    int numbers[3] = {0, 0, 0};
    int64_t milliseconds = 0;
};

// A row of the step table: everything about one step. Adding a step is a
// row, the Simulator's handler and a test.
struct StepSyntax {
    // Gets the text after the step's name. False for a line of the wrong
    // shape (`problem` empty: the usage is shown) or with a value that
    // cannot mean anything (`problem` says why).
    using Reader = bool (*)(const std::string& rest, Step& step, std::string& problem);
    using Handler = void (Simulator::*)(const Step& step);

    const char* name;  // "press", "expect control"
    const char* usage;
    const char* meaning;  // lines separated by '\n'
    Reader read;
    Handler run;
    bool withoutComponent = false;  // runs also when no component was created
};

class StepParser {
public:
    // Parses one line. Returns false with a one-line `error` (starting with
    // `where`, when given) for a line that is no step or whose values cannot mean
    // anything; `empty` tells a comment or blank line. A line typed `atPrompt`
    // gets errors that end with a hint naming the help step. An unknown step
    // that names one of the component's `messages` is answered with that.
    static bool parse(const std::string& line, const std::string& where, bool atPrompt,
                      const ComponentMessages& messages, Step& step, bool& empty,
                      std::string& error);
    // Parses a whole scenario; stops at the first bad line.
    static bool parseAll(const std::string& name, const std::string& content,
                         const ComponentMessages& messages, std::vector<Step>& steps,
                         std::string& error);
    // The steps, for --help and "help", which add the component's messages.
    static std::string help();
};

}  // namespace zant::simulator

#endif  // SIMULATOR_STEP_PARSER_H
