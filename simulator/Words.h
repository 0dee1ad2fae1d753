// Word and text handling shared by the simulator's line-based readers and its
// trace.
#ifndef PANEL_HOST_WORDS_H
#define PANEL_HOST_WORDS_H

#include <string>

namespace zant::simulator {

// `text` without leading and trailing white space.
std::string trimmed(const std::string& text);

// Cuts the first word (up to a space or tab) off `rest`, which keeps what
// follows without its surrounding white space.
std::string cutFirstWord(std::string& rest);

// `text` safe to print on a terminal: line feed, carriage return and tab as
// \n, \r and \t, every other control character and every byte that is not
// part of a well-formed UTF-8 character as \xHH. Printable text, UTF-8
// included, stays as it is.
std::string printable(const std::string& text);

// printable(text) in double quotes, as the trace shows a value.
std::string quoted(const std::string& text);

// A decimal integer of the simulator's own inputs (files, steps, options):
// optional '-', digits, within the int range. The component's commands are
// read by the command grammar instead.
bool parseInteger(const std::string& text, int& value);

}  // namespace zant::simulator

#endif  // PANEL_HOST_WORDS_H
