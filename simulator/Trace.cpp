#include "simulator/Trace.h"

#include <algorithm>

#include "simulator/VirtualClock.h"

namespace zant::simulator {

Trace::Trace(std::ostream& out) : text_(std::make_unique<TextTrace>(out)) {
    listeners_.push_back(text_.get());
}

void Trace::subscribe(TraceListener* listener) {
    listeners_.push_back(listener);
}

void Trace::unsubscribe(TraceListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void Trace::add(TraceEvent::Kind kind, const std::string& text) {
    if (kind == TraceEvent::Kind::error) ++errors_;
    const TraceEvent event{kind, clock_ == nullptr ? 0 : clock_->now(), text};
    for (TraceListener* listener : listeners_) listener->onEvent(event);
}

void Trace::flush() {
    for (TraceListener* listener : listeners_) listener->flush();
}

}  // namespace zant::simulator
