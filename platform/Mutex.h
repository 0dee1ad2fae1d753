// The mutex of the threads that share a router link or a socket. std::mutex
// where the toolchain has it; on MinGW's win32 thread model (the field DLL's
// toolchain, whose libstdc++ has neither std::mutex nor std::thread nor
// std::condition_variable) a slim reader/writer lock of Windows, so that
// panel_host gets the router link there too without a threads runtime that
// the DLL built alongside would then carry.
//
// Threads: any; lock(), try_lock() and unlock() as std::mutex's (not
// recursive), so std::lock_guard, std::unique_lock and std::scoped_lock take it.
#ifndef PLATFORM_MUTEX_H
#define PLATFORM_MUTEX_H

#include <mutex>

#if defined(_WIN32) && defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
#define ZANT_WIN32_THREADS 1
#endif

namespace zant::platform {

#if defined(ZANT_WIN32_THREADS)
class Mutex {
public:
    Mutex() = default;
    ~Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();
    // The SRWLOCK, for ConditionVariable.
    void* native() { return &state_; }

private:
    void* state_ = nullptr;  // an SRWLOCK (pointer-sized), SRWLOCK_INIT
};
#else
using Mutex = std::mutex;
#endif

}  // namespace zant::platform

#endif  // PLATFORM_MUTEX_H
