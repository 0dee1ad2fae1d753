// The readable trace on a stream: one line per notification and per command,
// stamped with the virtual time, and error lines. Every line is written
// through printable(): a control character or a stray byte from a scenario or
// a component never reaches the terminal raw.
#ifndef SIMULATOR_TEXT_TRACE_H
#define SIMULATOR_TEXT_TRACE_H

#include <ostream>
#include <string>

#include "simulator/TraceListener.h"

namespace zant::simulator {

class TextTrace : public TraceListener {
public:
    explicit TextTrace(std::ostream& out) : out_(out) {}

    void onEvent(const TraceEvent& event) override;
    void flush() override { out_.flush(); }

    // The lines that `event` shows, without the final line feed; empty for an
    // event that the text does not show by itself (a parent event is part of
    // its command's line).
    static std::string format(const TraceEvent& event);

private:
    std::ostream& out_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_TEXT_TRACE_H
