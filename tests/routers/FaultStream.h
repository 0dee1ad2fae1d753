// An in-memory connection for the router link's tests, in which the test
// plays the router: what it says is read by the link, what the link writes
// is kept, and the connection fails where the test says: connects refused,
// the router's bytes in small pieces, a write that stops after some bytes
// (a reset, or a stall that lasts the write's whole time on the test's
// clock), a reset after some bytes were read. Nothing waits on the wall
// clock.
//
// Threads: the link's (the test's, turning the link by hand); wake() and
// interrupt() from any.
#ifndef TESTS_ROUTERS_FAULT_STREAM_H
#define TESTS_ROUTERS_FAULT_STREAM_H

#include <atomic>
#include <cstddef>
#include <string>

#include "routers/RouterStream.h"
#include "tests/routers/ManualClock.h"

namespace zant::routers {

class FaultStream : public RouterStream {
public:
    static constexpr size_t never = static_cast<size_t>(-1);

    explicit FaultStream(ManualClock& clock) : clock_(clock) {}

    // The router's side, between the link's turns: what it says now, and
    // what it says as soon as a connection is made.
    void say(const std::string& bytes) { inbound_ += bytes; }
    // What the router said that the link has not read yet.
    size_t unread() const { return inbound_.size(); }
    std::string greeting;
    bool open() const { return open_; }

    // Faults, each counted from the start of the current connection.
    bool refuse = false;
    size_t pieces = 0;                 // the most bytes one receive gives (0: all there)
    size_t resetAfterWritten = never;  // the link's bytes the router takes, then a reset
    size_t stallAfterWritten = never;  // ... then a stall until the write's time is out
    size_t resetAfterRead = never;     // the router's bytes the link reads, then a reset

    // What the link did.
    std::string written;  // on the current connection
    int connects = 0;     // that succeeded
    int attempts = 0;
    std::atomic<int> wakes{0};

    bool connect(const std::string& host, int port, int timeoutMs, std::string& error) override;
    Received receive(char* buffer, size_t capacity, int timeoutMs, size_t& size,
                     std::string& error) override;
    bool send(const std::string& data, int timeoutMs, std::string& error) override;
    void close() override { open_ = false; }
    void wake() override { ++wakes; }
    void interrupt() override { open_ = false; }

private:
    ManualClock& clock_;
    std::atomic<bool> open_{false};
    std::string inbound_;
    size_t read_ = 0;
};

}  // namespace zant::routers

#endif  // TESTS_ROUTERS_FAULT_STREAM_H
