#include "platform/ConditionVariable.h"

#if defined(ZANT_WIN32_THREADS)
#include <windows.h>

namespace zant::platform {

static_assert(sizeof(CONDITION_VARIABLE) == sizeof(void*), "a CONDITION_VARIABLE is one pointer");

void ConditionVariable::notify_one() {
    WakeConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&state_));
}

void ConditionVariable::notify_all() {
    WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&state_));
}

void ConditionVariable::waitMs(Mutex& mutex, unsigned long ms) {
    // A timeout or a spurious wake alike: the caller looks at its predicate.
    SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&state_),
                              static_cast<PSRWLOCK>(mutex.native()), ms, 0);
}

}  // namespace zant::platform
#endif
