// Reads a panel layout file (.zant_ui), our small text format:
//
//   # a comment line; blank lines are skipped
//   KIND NAME [PROPERTY=VALUE ...]
//
// one control a line. KIND is "button", "text" or "box" (a plain area that
// only takes properties such as a statesheet); NAME is the control id the
// component addresses; the optional PROPERTY=VALUE words (no spaces) are the
// control's initial properties. Every control starts enabled.
#ifndef SIMULATOR_LAYOUT_FILE_H
#define SIMULATOR_LAYOUT_FILE_H

#include <string>

#include "simulator/Panel.h"

class LayoutFile {
public:
    // Adds the controls of the file at `path` to `panel`. On a fault returns
    // false with a one-line error naming the file and, for a bad line, the
    // line number; `panel` is then left unchanged.
    static bool load(const std::string& path, Panel& panel, std::string& error);
    // The same, reading the layout from `content` (named `path` in errors).
    static bool parse(const std::string& path, const std::string& content, Panel& panel,
                      std::string& error);
};

#endif  // SIMULATOR_LAYOUT_FILE_H
