// A socket that one thread may close while others wait on it.
// close() shuts the connection down at once, which wakes a poll, recv or
// accept blocked in another thread; the descriptor itself is released by the
// last user to leave, so no thread ever waits on a number that the system
// has meanwhile handed out again. Winsock sockets alike.
#ifndef PLATFORM_SOCKET_HANDLE_H
#define PLATFORM_SOCKET_HANDLE_H

#include <mutex>

#include "platform/Mutex.h"
#include "platform/NativeSocket.h"

namespace zant::platform {

class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(NativeSocket socket) : socket_(socket) {}
    // Moves and the destructor are the owner's: no Use may be alive.
    ~SocketHandle();
    SocketHandle(SocketHandle&& other) noexcept;
    SocketHandle& operator=(SocketHandle&& other) noexcept;
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    // Open until close(), from any thread.
    bool open() const;
    void close();

    // The socket for one call, held open while the Use lives; noSocket when
    // the handle was already closed.
    class Use {
    public:
        explicit Use(SocketHandle& handle);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        NativeSocket socket() const { return socket_; }

    private:
        SocketHandle& handle_;
        NativeSocket socket_ = noSocket;
    };

private:
    void releaseLocked();

    mutable Mutex mutex_;
    NativeSocket socket_ = noSocket;
    int users_ = 0;
    bool closing_ = false;
};

}  // namespace zant::platform

#endif  // PLATFORM_SOCKET_HANDLE_H
