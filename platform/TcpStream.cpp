#include "platform/TcpStream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/SocketCalls.h"

namespace zant::platform {

namespace {

using Clock = std::chrono::steady_clock;

#if defined(MSG_NOSIGNAL)
constexpr int sendFlags = MSG_NOSIGNAL;
#else
constexpr int sendFlags = 0;  // SO_NOSIGPIPE is set on the socket instead
#endif

// The milliseconds left until `deadline`, at least 0; -1 (no limit) stays.
int remainingMs(int timeoutMs, Clock::time_point deadline) {
    if (timeoutMs < 0) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on `socket`: 1 ready, 0 timed out, -1 failed (errno).
int waitFor(int socket, short events, int timeoutMs, Clock::time_point deadline) {
    for (;;) {
        pollfd entry = {socket, events, 0};
        const int ready = ::poll(&entry, 1, remainingMs(timeoutMs, deadline));
        if (ready >= 0 || errno != EINTR) return ready;
    }
}

// One address, waiting for the handshake until `deadline`; the connected
// socket, or -1 with `failure` set.
int connectTo(const addrinfo& address, int timeoutMs, Clock::time_point deadline, int& failure) {
    const int socket = openSocket(address.ai_family);
    if (socket < 0) {
        failure = errno;
        return -1;
    }
    if (::connect(socket, address.ai_addr, address.ai_addrlen) == 0) return socket;
    failure = errno;
    if (failure == EINPROGRESS) {
        const int ready = waitFor(socket, POLLOUT, timeoutMs, deadline);
        if (ready > 0) {
            socklen_t length = sizeof failure;
            if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &failure, &length) != 0) failure = errno;
            if (failure == 0) return socket;
        } else {
            failure = ready == 0 ? ETIMEDOUT : errno;
        }
    }
    ::close(socket);
    return -1;
}

}  // namespace

TcpStream::~TcpStream() = default;
TcpStream::TcpStream(TcpStream&& other) noexcept = default;
TcpStream& TcpStream::operator=(TcpStream&& other) noexcept = default;

bool TcpStream::connect(const std::string& host, int port, int timeoutMs, std::string& error) {
    handle_ = SocketHandle();
    const bool ipv6 = host.find(':') != std::string::npos;
    const std::string where = (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
    const std::string failed = "cannot connect to " + where + ": ";
    if (port <= 0 || port > 65535) {
        error = failed + "no such port";
        return false;
    }
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    const int resolved =
        getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses);
    if (resolved != 0) {
        error = failed + (resolved == EAI_SYSTEM ? socketErrorText(errno)
                                                 : lowerFirst(gai_strerror(resolved)));
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int failure = ETIMEDOUT;
    int socket = -1;
    // Every address of the name in turn, while time is left.
    for (const addrinfo* address = addresses; address != nullptr && socket < 0;
         address = address->ai_next) {
        socket = connectTo(*address, timeoutMs, deadline, failure);
        if (failure == ETIMEDOUT) break;
    }
    freeaddrinfo(addresses);
    if (socket < 0) {
        error = failed + socketErrorText(failure);
        return false;
    }
    setConnectionOptions(socket);
    handle_ = SocketHandle(socket);
    return true;
}

TcpStream::Received TcpStream::receive(char* buffer, size_t capacity, int timeoutMs, size_t& size,
                                       std::string& error, const Wakeup* wakeup) {
    size = 0;
    const SocketHandle::Use use(handle_);
    const int socket = use.socket();
    if (socket < 0) {
        error = "not connected";
        return Received::closed;
    }
    pollfd entries[2] = {{socket, POLLIN, 0}, {wakeup == nullptr ? -1 : wakeup->fd(), POLLIN, 0}};
    const int ready = ::poll(entries, wakeup == nullptr ? 1 : 2, timeoutMs < 0 ? -1 : timeoutMs);
    if (wakeup != nullptr && entries[1].revents != 0) wakeup->clear();
    if (ready == 0 || (ready < 0 && errno == EINTR) || capacity == 0 ||
        (ready > 0 && entries[0].revents == 0)) {
        return Received::nothing;
    }
    int failure = ready < 0 ? errno : 0;
    if (failure == 0) {
        const ssize_t got = ::recv(socket, buffer, capacity, 0);
        if (got > 0) {
            size = static_cast<size_t>(got);
            return Received::data;
        }
        failure = got == 0 ? 0 : errno;
        if (failure == EAGAIN || failure == EWOULDBLOCK || failure == EINTR) {
            return Received::nothing;
        }
    }
    if (!handle_.open()) {
        error = "connection closed";
    } else if (failure == 0) {
        error = "connection closed by the peer";
    } else {
        error = socketErrorText(failure);
    }
    handle_.close();
    return Received::closed;
}

bool TcpStream::send(const std::string& data, int timeoutMs, std::string& error) {
    const SocketHandle::Use use(handle_);
    const int socket = use.socket();
    if (socket < 0) {
        error = "not connected";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t sent = 0;
    int failure = 0;
    while (sent < data.size() && failure == 0) {
        const ssize_t wrote = ::send(socket, data.data() + sent, data.size() - sent, sendFlags);
        if (wrote >= 0) {
            sent += static_cast<size_t>(wrote);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const int ready = waitFor(socket, POLLOUT, timeoutMs, deadline);
            if (ready == 0) failure = ETIMEDOUT;
            if (ready < 0) failure = errno;
        } else if (errno != EINTR) {
            failure = errno;
        }
    }
    if (failure == 0) return true;
    error = handle_.open() ? "cannot send: " + socketErrorText(failure) : "connection closed";
    handle_.close();
    return false;
}

}  // namespace zant::platform
