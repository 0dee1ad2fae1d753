#include "simulator/Trace.h"

#include "simulator/Words.h"

void Trace::lines(const std::string& indent, const std::string& text) {
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        out_ << indent << printable(text.substr(start, end - start)) << "\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

void Trace::event(const std::string& stamp, const std::string& text) {
    lines("", "[" + stamp + "] " + text);
}

void Trace::detail(const std::string& text) {
    lines("    ", text);
}

void Trace::block(const std::string& text, const std::string& indent) {
    if (!text.empty()) lines(indent, text.back() == '\n' ? text.substr(0, text.size() - 1) : text);
    out_.flush();
}

void Trace::error(const std::string& text) {
    ++errors_;
    lines("", "error: " + text);
    out_.flush();
}

void Trace::plain(const std::string& text) {
    lines("", text);
    out_.flush();
}
