// The step language of scenario files and of the interactive mode: one step a
// line, '#' starts a comment line, blank lines are skipped. The steps and
// their arguments are listed in `StepParser::help()`.
#ifndef SIMULATOR_STEP_PARSER_H
#define SIMULATOR_STEP_PARSER_H

#include <cstdint>
#include <string>
#include <vector>

struct Step {
    enum class Kind {
        message,
        press,
        doublePress,
        wait,
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
    int numbers[3] = {0, 0, 0};
    int64_t milliseconds = 0;
};

class StepParser {
public:
    // Parses one line. Returns false with a one-line `error` (starting with
    // `where`) for a malformed line; `empty` tells a comment or blank line.
    static bool parse(const std::string& line, const std::string& where, Step& step, bool& empty,
                      std::string& error);
    // Parses a whole scenario; stops at the first bad line.
    static bool parseAll(const std::string& name, const std::string& content,
                         std::vector<Step>& steps, std::string& error);
    // The description of the step language, for --help and "help".
    static const char* help();
};

#endif  // SIMULATOR_STEP_PARSER_H
