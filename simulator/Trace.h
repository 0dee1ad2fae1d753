// The simulation's event stream: each event is stamped with the virtual time
// and handed to every listener (the text trace, the browser panel). Error
// events are counted.
#ifndef SIMULATOR_TRACE_H
#define SIMULATOR_TRACE_H

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "simulator/TextTrace.h"
#include "simulator/TraceEvent.h"
#include "simulator/TraceListener.h"

namespace zant::simulator {

class VirtualClock;

class Trace {
public:
    Trace() = default;
    // With a text trace on `out` as its first listener.
    explicit Trace(std::ostream& out);

    // The clock whose time stamps the events; without one they carry 0.
    void setClock(const VirtualClock* clock) { clock_ = clock; }
    // A listener stays registered until removed; it must outlive that.
    void subscribe(TraceListener* listener);
    void unsubscribe(TraceListener* listener);

    void add(TraceEvent::Kind kind, const std::string& text);
    void error(const std::string& text) { add(TraceEvent::Kind::error, text); }
    void flush();

    int errors() const { return errors_; }
    bool verbose() const { return verbose_; }
    void setVerbose(bool verbose) { verbose_ = verbose; }

private:
    const VirtualClock* clock_ = nullptr;
    std::unique_ptr<TextTrace> text_;
    std::vector<TraceListener*> listeners_;
    int errors_ = 0;
    bool verbose_ = false;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_TRACE_H
