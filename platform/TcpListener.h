// A listening TCP socket on the loopback, for the test peers that play a
// router.
//
// close() may come from any thread: an accept() waiting in another returns
// at once on Linux, elsewhere (Windows too) at the end of its timeout, so an accepting
// thread waits in short turns.
#ifndef PLATFORM_TCP_LISTENER_H
#define PLATFORM_TCP_LISTENER_H

#include <string>

#include "platform/SocketHandle.h"
#include "platform/TcpStream.h"

namespace zant::platform {

class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener() = default;
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port the system picks); a busy
    // port is refused, never shared. False with a one-line `error`.
    bool listen(int port, std::string& error);
    int port() const { return port_; }
    // A new connection, waiting at most `timeoutMs`; not open() when none
    // came (or the listener was closed).
    TcpStream accept(int timeoutMs);
    void close() { handle_.close(); }

private:
    SocketHandle handle_;
    int port_ = 0;
};

}  // namespace zant::platform

#endif  // PLATFORM_TCP_LISTENER_H
