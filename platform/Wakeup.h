// A wait on a socket that another thread can end early: signal() makes the
// descriptor readable until clear(). POSIX only, as the network layer.
//
// Threads: signal() from any thread; fd() and clear() from the waiter.
#ifndef PLATFORM_WAKEUP_H
#define PLATFORM_WAKEUP_H

namespace zant::platform {

class Wakeup {
public:
    Wakeup();
    ~Wakeup();
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    void signal() const;
    int fd() const { return read_; }
    void clear() const;

private:
    int read_ = -1;
    int write_ = -1;
};

}  // namespace zant::platform

#endif  // PLATFORM_WAKEUP_H
