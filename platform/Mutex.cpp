#include "platform/Mutex.h"

#if defined(ZANT_WIN32_THREADS)
#include <windows.h>

namespace zant::platform {

static_assert(sizeof(SRWLOCK) == sizeof(void*), "an SRWLOCK is one pointer");

void Mutex::lock() {
    AcquireSRWLockExclusive(static_cast<PSRWLOCK>(native()));
}

bool Mutex::try_lock() {
    return TryAcquireSRWLockExclusive(static_cast<PSRWLOCK>(native())) != 0;
}

void Mutex::unlock() {
    ReleaseSRWLockExclusive(static_cast<PSRWLOCK>(native()));
}

}  // namespace zant::platform
#endif
