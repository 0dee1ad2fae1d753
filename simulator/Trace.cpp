#include "simulator/Trace.h"

#include <sstream>

void Trace::event(const std::string& stamp, const std::string& text) {
    out_ << "[" << stamp << "] " << text << "\n";
}

void Trace::detail(const std::string& text) {
    out_ << "    " << text << "\n";
}

void Trace::block(const std::string& text, const std::string& indent) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) out_ << indent << line << "\n";
    out_.flush();
}

void Trace::error(const std::string& text) {
    ++errors_;
    out_ << "error: " << text << "\n";
    out_.flush();
}

void Trace::plain(const std::string& text) {
    out_ << text << "\n";
    out_.flush();
}
