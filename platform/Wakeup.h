// A wait on a socket that another thread can end early: signal() makes
// socket() readable until clear(). A pipe on POSIX; on Windows, where only
// sockets can be waited for together, a UDP socket on the loopback that
// sends to itself.
//
// Threads: signal() from any thread; socket() and clear() from the waiter.
#ifndef PLATFORM_WAKEUP_H
#define PLATFORM_WAKEUP_H

#include "platform/NativeSocket.h"

namespace zant::platform {

class Wakeup {
public:
    Wakeup();
    ~Wakeup();
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    void signal() const;
    // What to wait on, readable once signalled; noSocket when none could be
    // made (signal() then wakes nothing, and a wait runs to its end).
    NativeSocket socket() const { return read_; }
    void clear() const;

private:
    NativeSocket read_ = noSocket;
    NativeSocket write_ = noSocket;
};

}  // namespace zant::platform

#endif  // PLATFORM_WAKEUP_H
