// The simulator's time: a clock that moves only when a scenario waits, and
// the host timers that run on it ("ET n interval" starts or restarts timer n,
// "ET n" stops it). The unit is the millisecond.
#ifndef SIMULATOR_VIRTUAL_CLOCK_H
#define SIMULATOR_VIRTUAL_CLOCK_H

#include <cstdint>
#include <map>
#include <string>

namespace zant::simulator {

class VirtualClock {
public:
    int64_t now() const { return now_; }

    // (Re)starts `timer`: its first tick is due `interval` after now. An
    // interval below 1 stops it instead.
    void start(int timer, int interval);
    void stop(int timer);
    bool running(int timer) const { return timers_.count(timer) != 0; }
    int interval(int timer) const;

    // The timer whose tick is due first at or before `limit`: the earliest due
    // time, ties going to the timer started first. On success the clock moves
    // to that time, the timer's next tick is scheduled, and the timer number
    // is stored in `timer`. False when no tick is due by `limit`.
    bool nextTick(int64_t limit, int& timer);
    // Moves the clock forward to `time` (never backwards).
    void advanceTo(int64_t time);

    // "mm:ss.mmm" of the current time, for the trace.
    std::string stamp() const { return stampOf(now_); }
    static std::string stampOf(int64_t time);

private:
    struct Timer {
        int interval;
        int64_t due;
        uint64_t order;  // start order, to break ties between equal due times
    };
    int64_t now_ = 0;
    uint64_t starts_ = 0;
    std::map<int, Timer> timers_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_VIRTUAL_CLOCK_H
