// The lines typed at panel_host's prompt. On a terminal, and where the build
// has libedit, lines can be edited and earlier ones recalled (arrow keys);
// otherwise, as for piped input or on Windows, plain lines are read from
// standard input after the prompt.
#ifndef SIMULATOR_LINE_READER_H
#define SIMULATOR_LINE_READER_H

#include <string>

namespace zant::simulator {

class LineReader {
public:
    LineReader();

    // Shows `prompt` and reads one line; false at the end of the input.
    bool read(const std::string& prompt, std::string& line);

    static bool stdinIsTerminal();

private:
    bool editing_ = false;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_LINE_READER_H
