// Where the routers read the time: the steady clock in a run, a clock the
// test moves in the tests, so that deadlines, keep-alives and backoff are
// tested without waiting.
//
// Threads: any; nowMs() never goes backwards.
#ifndef ROUTERS_ROUTER_CLOCK_H
#define ROUTERS_ROUTER_CLOCK_H

#include <chrono>
#include <cstdint>

namespace zant::routers {

class RouterClock {
public:
    virtual ~RouterClock() = default;
    // Milliseconds from an origin of the clock's own.
    virtual int64_t nowMs() const = 0;
};

class SteadyClock : public RouterClock {
public:
    int64_t nowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    // The one every router of a run shares.
    static const SteadyClock& instance() {
        static const SteadyClock clock;
        return clock;
    }
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_CLOCK_H
