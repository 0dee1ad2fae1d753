// The control names of a panel layout file (.zant_ui): one control a line,
// "KIND NAME [PROPERTY=VALUE ...]"; '#' starts a comment line; blank lines
// are skipped.
#ifndef VALIDATOR_LAYOUT_CONTROLS_H
#define VALIDATOR_LAYOUT_CONTROLS_H

#include <set>
#include <string>

class LayoutControls {
public:
    // False, with a one-line reason, when the file cannot be read or a line
    // names no control.
    static bool read(const std::string& path, std::set<std::string>& controls, std::string& error);
};

#endif  // VALIDATOR_LAYOUT_CONTROLS_H
