// A TCP connection on the loopback or the network: the OS calls of the router
// link and of the test peers, on POSIX sockets or Winsock.
//
// Threads: receive() and send() may run in different threads, and close()
// may come from any thread while they wait: it wakes them and they return
// `closed`. connect(), moves and the destructor belong to the owner and must
// not overlap any other call (join the reader first).
#ifndef PLATFORM_TCP_STREAM_H
#define PLATFORM_TCP_STREAM_H

#include <cstddef>
#include <string>

#include "platform/SocketHandle.h"
#include "platform/Wakeup.h"

namespace zant::platform {

class TcpStream {
public:
    TcpStream() = default;
    ~TcpStream();
    TcpStream(TcpStream&& other) noexcept;
    TcpStream& operator=(TcpStream&& other) noexcept;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    // Connects to `host` (a name or an IPv4 or IPv6 address) and `port`,
    // waiting at most `timeoutMs`. False with a one-line `error`
    // ("cannot connect to HOST:PORT: connection refused").
    bool connect(const std::string& host, int port, int timeoutMs, std::string& error);
    bool open() const { return handle_.open(); }

    enum class Received { data, nothing, closed };
    // Waits at most `timeoutMs` (0: not at all; negative: without limit) for
    // bytes; `size` is set to the bytes read. A signal ends the wait early
    // with `nothing`. `closed` when the peer closed or the connection failed
    // (`error` then says which); the stream is then closed. A signal of
    // `wakeup` (from any thread) ends the wait too, with `nothing`.
    Received receive(char* buffer, size_t capacity, int timeoutMs, size_t& size, std::string& error,
                     const Wakeup* wakeup = nullptr);
    // Sends every byte, waiting at most `timeoutMs` in all (negative: without
    // limit); false (closed, `error` set) when the peer is gone or the time
    // ran out.
    bool send(const std::string& data, int timeoutMs, std::string& error);
    // Ends the connection; a receive blocked in another thread returns.
    void close() { handle_.close(); }

private:
    friend class TcpListener;
    explicit TcpStream(NativeSocket socket) : handle_(socket) {}
    SocketHandle handle_;
};

}  // namespace zant::platform

#endif  // PLATFORM_TCP_STREAM_H
