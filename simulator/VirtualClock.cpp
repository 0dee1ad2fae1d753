#include "simulator/VirtualClock.h"

#include <cstdio>

namespace zant::simulator {

void VirtualClock::start(int timer, int interval) {
    if (interval < 1) {
        stop(timer);
        return;
    }
    timers_[timer] = Timer{interval, now_ + interval, starts_++};
}

void VirtualClock::stop(int timer) {
    timers_.erase(timer);
}

int VirtualClock::interval(int timer) const {
    const auto found = timers_.find(timer);
    return found == timers_.end() ? 0 : found->second.interval;
}

bool VirtualClock::nextTick(int64_t limit, int& timer) {
    auto first = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.due > limit) continue;
        if (first == timers_.end() || it->second.due < first->second.due ||
            (it->second.due == first->second.due && it->second.order < first->second.order)) {
            first = it;
        }
    }
    if (first == timers_.end()) return false;
    advanceTo(first->second.due);
    first->second.due += first->second.interval;
    timer = first->first;
    return true;
}

void VirtualClock::advanceTo(int64_t time) {
    if (time > now_) now_ = time;
}

std::string VirtualClock::stampOf(int64_t time) {
    char text[32];
    const long long minutes = static_cast<long long>(time / 60000);
    const int seconds = static_cast<int>((time / 1000) % 60);
    const int millis = static_cast<int>(time % 1000);
    std::snprintf(text, sizeof text, "%02lld:%02d.%03d", minutes, seconds, millis);
    return text;
}

}  // namespace zant::simulator
