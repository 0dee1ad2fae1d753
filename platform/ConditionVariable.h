// The condition variable that goes with Mutex: std::condition_variable
// where the toolchain has it, a Windows condition variable on MinGW's win32
// thread model (see Mutex.h). Only what the router link uses: wait_for with
// a predicate, notify_one and notify_all.
//
// Threads: any, as std::condition_variable's.
#ifndef PLATFORM_CONDITION_VARIABLE_H
#define PLATFORM_CONDITION_VARIABLE_H

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/Mutex.h"

namespace zant::platform {

#if defined(ZANT_WIN32_THREADS)
class ConditionVariable {
public:
    ConditionVariable() = default;
    ~ConditionVariable() = default;
    ConditionVariable(const ConditionVariable&) = delete;
    ConditionVariable& operator=(const ConditionVariable&) = delete;

    void notify_one();
    void notify_all();
    // Waits until `ready()` or `time` passed (steady), the lock released
    // meanwhile; what `ready()` says last.
    template <class Predicate>
    bool wait_for(std::unique_lock<Mutex>& lock, std::chrono::milliseconds time, Predicate ready) {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + time;
        while (!ready()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            if (left <= 0) return ready();
            waitMs(*lock.mutex(), static_cast<unsigned long>(left));
        }
        return true;
    }

private:
    // One wait of at most `ms`, `mutex` held before and after.
    void waitMs(Mutex& mutex, unsigned long ms);

    void* state_ = nullptr;  // a CONDITION_VARIABLE (pointer-sized), its INIT
};
#else
using ConditionVariable = std::condition_variable;
#endif

}  // namespace zant::platform

#endif  // PLATFORM_CONDITION_VARIABLE_H
