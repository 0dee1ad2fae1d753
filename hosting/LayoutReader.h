// Reads a panel layout file (.zant_ui), the one format every tool accepts:
//
//   # a comment line; blank lines are skipped
//   KIND NAME [PROPERTY=VALUE ...]
//
// one control a line. KIND is "button", "text" or "box" (a plain area that
// only takes properties such as a statesheet); NAME is the control id the
// component addresses; the optional PROPERTY=VALUE words (no spaces) are the
// control's initial properties. A host refuses the whole file at its first
// bad line, so every tool refuses the same files with the same message.
#ifndef HOSTING_LAYOUT_READER_H
#define HOSTING_LAYOUT_READER_H

#include <map>
#include <string>
#include <vector>

namespace zant::hosting {

struct LayoutControl {
    std::string kind;
    std::string name;
    std::map<std::string, std::string> properties;
};

class LayoutReader {
public:
    // The controls of the file at `path`, in file order. On a fault returns
    // false with a one-line error naming the file and, for a bad line, the
    // line number; `controls` is then left unchanged.
    static bool load(const std::string& path, std::vector<LayoutControl>& controls,
                     std::string& error);
    // The same, reading the layout from `content` (named `path` in errors).
    static bool parse(const std::string& path, const std::string& content,
                      std::vector<LayoutControl>& controls, std::string& error);
};

}  // namespace zant::hosting

#endif  // HOSTING_LAYOUT_READER_H
