#include "simulator/LineReader.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/Terminal.h"

#if defined(PANEL_HOST_LINE_EDITING)
#include <editline/readline.h>
#endif

namespace zant::simulator {

LineReader::LineReader() {
#if defined(PANEL_HOST_LINE_EDITING)
    editing_ = stdinIsTerminal();
    if (editing_) using_history();
#endif
}

bool LineReader::stdinIsTerminal() {
    return zant::platform::standardInputIsTerminal();
}

bool LineReader::read(const std::string& prompt, std::string& line) {
    std::cout << std::flush;
#if defined(PANEL_HOST_LINE_EDITING)
    if (editing_) {
        char* typed = readline(prompt.c_str());
        if (typed == nullptr) return false;
        line = typed;
        std::free(typed);
        if (line.find_first_not_of(" \t") != std::string::npos) add_history(line.c_str());
        return true;
    }
#endif
    std::cout << prompt << std::flush;
    return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace zant::simulator
