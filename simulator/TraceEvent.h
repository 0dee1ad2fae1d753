// One entry of the simulation's event stream: what happened, at which virtual
// time, as one text. The text trace and the browser panel both read it.
#ifndef SIMULATOR_TRACE_EVENT_H
#define SIMULATOR_TRACE_EVENT_H

#include <cstdint>
#include <string>

namespace zant::simulator {

struct TraceEvent {
    enum class Kind {
        action,       // a step begins: a message, a press, a wait, a route
        tick,         // a timer tick is delivered
        revertive,    // a revertive (or a batch of them) is delivered
        command,      // a command of the component, with its reply and note
        reply,        // the component's reply to a parent message
        push,         // how the button took a push
        handedBack,   // a reply came back (verbose only)
        parentEvent,  // an event for the parent ("HN"); part of its command line
        held,         // an expectation held
        failed,       // an expectation failed
        drawing,      // a drawing of panels or routers
        error,        // an error line, counted
        note,         // a note of the scenario
        help,         // the help text
        badStep,      // a step line that could not be read
    };
    Kind kind;
    int64_t time;
    std::string text;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_TRACE_EVENT_H
