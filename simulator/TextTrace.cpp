#include "simulator/TextTrace.h"

#include "simulator/VirtualClock.h"
#include "simulator/Words.h"

namespace zant::simulator {

namespace {

// Each line of `text` (split at line feeds) after `indent`.
std::string lines(const std::string& indent, const std::string& text) {
    std::string result;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        if (start != 0) result += '\n';
        result += indent + printable(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

}  // namespace

std::string TextTrace::format(const TraceEvent& event) {
    using Kind = TraceEvent::Kind;
    switch (event.kind) {
        case Kind::action:
        case Kind::tick:
        case Kind::revertive:
            return lines("", "[" + VirtualClock::stampOf(event.time) + "] " + event.text);
        case Kind::command:
        case Kind::reply:
        case Kind::push:
        case Kind::handedBack:
        case Kind::held:
            return lines("    ", event.text);
        case Kind::drawing: {
            const std::string& text = event.text;
            if (text.empty()) return text;
            return lines("    ", text.back() == '\n' ? text.substr(0, text.size() - 1) : text);
        }
        case Kind::error:
            return lines("", "error: " + event.text);
        case Kind::failed:
        case Kind::note:
        case Kind::help:
        case Kind::badStep:
            return lines("", event.text);
        case Kind::parentEvent:
            return std::string();
    }
    return std::string();
}

void TextTrace::onEvent(const TraceEvent& event) {
    using Kind = TraceEvent::Kind;
    if (event.kind == Kind::parentEvent || (event.kind == Kind::drawing && event.text.empty())) {
        return;
    }
    out_ << format(event) << "\n";
    // The lines of one action are flushed together; what a person must see
    // at once (an error, a drawing, a note) goes out immediately.
    if (event.kind == Kind::drawing || event.kind == Kind::error || event.kind == Kind::failed ||
        event.kind == Kind::note || event.kind == Kind::help || event.kind == Kind::badStep) {
        out_.flush();
    }
}

}  // namespace zant::simulator
