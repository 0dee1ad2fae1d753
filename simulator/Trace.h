// The simulator's readable trace: one line per notification and per command,
// stamped with the virtual time, and error lines, which are counted. Every
// line is written through printable(): a control character or a stray byte
// from a scenario or a component never reaches the terminal raw.
#ifndef SIMULATOR_TRACE_H
#define SIMULATOR_TRACE_H

#include <ostream>
#include <string>

class Trace {
public:
    explicit Trace(std::ostream& out) : out_(out) {}

    // A top-level line: "[mm:ss.mmm] text".
    void event(const std::string& stamp, const std::string& text);
    // A line inside the current event, indented.
    void detail(const std::string& text);
    // An indented multi-line block (a drawing, a reply); no line end needed.
    void block(const std::string& text, const std::string& indent = "    ");
    // "error: text", counted.
    void error(const std::string& text);
    // A line as it stands.
    void plain(const std::string& text);
    void flush() { out_.flush(); }

    int errors() const { return errors_; }
    bool verbose() const { return verbose_; }
    void setVerbose(bool verbose) { verbose_ = verbose; }

private:
    // Each line of `text` (split at line feeds) after `indent`.
    void lines(const std::string& indent, const std::string& text);

    std::ostream& out_;
    int errors_ = 0;
    bool verbose_ = false;
};

#endif  // SIMULATOR_TRACE_H
