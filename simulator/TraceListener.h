// A consumer of the simulation's event stream. Listeners are called on the
// simulation's thread, in the order the events happen.
#ifndef SIMULATOR_TRACE_LISTENER_H
#define SIMULATOR_TRACE_LISTENER_H

#include "simulator/TraceEvent.h"

namespace zant::simulator {

class TraceListener {
public:
    virtual ~TraceListener() = default;
    virtual void onEvent(const TraceEvent& event) = 0;
    // The end of a burst of events: a good moment to show them.
    virtual void flush() {}
};

}  // namespace zant::simulator

#endif  // SIMULATOR_TRACE_LISTENER_H
