// The connection under a router link: a TCP stream in a run, an in-memory
// one that injects faults in the tests.
//
// Threads: connect(), receive(), send() and close() are the link thread's
// alone; wake() and interrupt() may come from any thread at any time.
#ifndef ROUTERS_ROUTER_STREAM_H
#define ROUTERS_ROUTER_STREAM_H

#include <cstddef>
#include <string>

namespace zant::routers {

class RouterStream {
public:
    virtual ~RouterStream() = default;

    // False with a one-line `error` ("cannot connect to HOST:PORT: ...").
    virtual bool connect(const std::string& host, int port, int timeoutMs, std::string& error) = 0;
    enum class Received { data, nothing, closed };
    // Waits at most `timeoutMs` for bytes; `nothing` also when woken.
    // `closed` (with `error`) when the connection ended; it is then closed.
    virtual Received receive(char* buffer, size_t capacity, int timeoutMs, size_t& size,
                             std::string& error) = 0;
    // Sends every byte within `timeoutMs`; false (closed, `error` set) when
    // the connection ended or the time ran out.
    virtual bool send(const std::string& data, int timeoutMs, std::string& error) = 0;
    virtual void close() = 0;

    // A receive waiting now, or the next one, returns at once.
    virtual void wake() = 0;
    // The link stops: the connection ends, and a call waiting on it returns
    // as soon as it can.
    virtual void interrupt() = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_STREAM_H
