// Debug builds check that what one thread owns is used from that thread
// alone: the first checked call claims it, a call from another aborts.
// Release builds check nothing, nor do builds on MinGW's win32 thread model
// (Release only), whose libstdc++ has no thread ids.
//
// Threads: check() from any; it aborts unless called from the owner.
#ifndef ROUTERS_OWNER_THREAD_H
#define ROUTERS_OWNER_THREAD_H

#include <atomic>
#include <cassert>
#include <thread>

#include "platform/Mutex.h"

namespace zant::routers {

class OwnerThread {
public:
    void check() {
#if !defined(NDEBUG) && !defined(ZANT_WIN32_THREADS)
        std::thread::id none;
        const std::thread::id self = std::this_thread::get_id();
        if (!owner_.compare_exchange_strong(none, self)) {
            assert(none == self && "used from a thread that does not own it");
        }
#endif
    }
    // The owner is done: the next checked call claims it again.
    void release() {
#if !defined(ZANT_WIN32_THREADS)
        owner_.store(std::thread::id());
#endif
    }

private:
#if !defined(ZANT_WIN32_THREADS)
    std::atomic<std::thread::id> owner_{};
#endif
};

}  // namespace zant::routers

#endif  // ROUTERS_OWNER_THREAD_H
