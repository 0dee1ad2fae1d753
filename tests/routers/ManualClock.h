// A router clock that moves only when the test moves it.
#ifndef TESTS_ROUTERS_MANUAL_CLOCK_H
#define TESTS_ROUTERS_MANUAL_CLOCK_H

#include <atomic>
#include <cstdint>

#include "routers/RouterClock.h"

namespace zant::routers {

class ManualClock : public RouterClock {
public:
    int64_t nowMs() const override { return now_; }
    void advance(int64_t milliseconds) { now_ += milliseconds; }

private:
    std::atomic<int64_t> now_{1000};
};

}  // namespace zant::routers

#endif  // TESTS_ROUTERS_MANUAL_CLOCK_H
