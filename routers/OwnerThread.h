// Debug builds check that what one thread owns is used from that thread
// alone: the first checked call claims it, a call from another aborts.
// Release builds check nothing.
//
// Threads: check() from any; it aborts unless called from the owner.
#ifndef ROUTERS_OWNER_THREAD_H
#define ROUTERS_OWNER_THREAD_H

#include <atomic>
#include <cassert>
#include <thread>

namespace zant::routers {

class OwnerThread {
public:
    void check() {
#if !defined(NDEBUG)
        std::thread::id none;
        const std::thread::id self = std::this_thread::get_id();
        if (!owner_.compare_exchange_strong(none, self)) {
            assert(none == self && "used from a thread that does not own it");
        }
#endif
    }
    // The owner is done: the next checked call claims it again.
    void release() {
        owner_.store(std::thread::id());
    }

private:
    std::atomic<std::thread::id> owner_{};
};

}  // namespace zant::routers

#endif  // ROUTERS_OWNER_THREAD_H
