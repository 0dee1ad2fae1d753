// The step language of scenario files and of the interactive mode: one step a
// line, '#' starts a comment line, blank lines are skipped. One table holds
// each step's name, usage, meaning and reader; the help text is made from it.
#ifndef SIMULATOR_STEP_PARSER_H
#define SIMULATOR_STEP_PARSER_H

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/ComponentMessages.h"

struct Step {
    enum class Kind {
        message,
        press,
        doublePress,
        wait,
        run,
        tick,
        route,
        show,
        note,
        expectCommand,
        expectNoCommand,
        expectReply,
        expectControl,
        expectRoute,
        expectEvent,
        help,
        quit,
    };
    Kind kind = Kind::note;
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

class StepParser {
public:
    // Parses one line. Returns false with a one-line `error` (starting with
    // `where`) for a line that is no step or whose values cannot mean
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

#endif  // SIMULATOR_STEP_PARSER_H
