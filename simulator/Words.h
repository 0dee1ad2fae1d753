// Word handling shared by the simulator's line-based file readers.
#ifndef PANEL_HOST_WORDS_H
#define PANEL_HOST_WORDS_H

#include <string>

// `text` without leading and trailing white space.
std::string trimmed(const std::string& text);

// Cuts the first word (up to a space or tab) off `rest`, which keeps what
// follows without its surrounding white space.
std::string cutFirstWord(std::string& rest);

#endif  // PANEL_HOST_WORDS_H
