// A socket descriptor that one thread may close while others wait on it.
// close() shuts the connection down at once, which wakes a poll, recv or
// accept blocked in another thread; the descriptor itself is released by the
// last user to leave, so no thread ever waits on a number that the system
// has meanwhile handed out again.
#ifndef PLATFORM_SOCKET_HANDLE_H
#define PLATFORM_SOCKET_HANDLE_H

#include <mutex>

namespace zant::platform {

class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(int socket) : socket_(socket) {}
    // Moves and the destructor are the owner's: no Use may be alive.
    ~SocketHandle();
    SocketHandle(SocketHandle&& other) noexcept;
    SocketHandle& operator=(SocketHandle&& other) noexcept;
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    // Open until close(), from any thread.
    bool open() const;
    void close();

    // The descriptor for one call, held open while the Use lives; -1 when the
    // handle was already closed.
    class Use {
    public:
        explicit Use(SocketHandle& handle);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        int socket() const { return socket_; }

    private:
        SocketHandle& handle_;
        int socket_ = -1;
    };

private:
    void releaseLocked();

    mutable std::mutex mutex_;
    int socket_ = -1;
    int users_ = 0;
    bool closing_ = false;
};

}  // namespace zant::platform

#endif  // PLATFORM_SOCKET_HANDLE_H
