#include "platform/TcpStream.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <chrono>

#include "platform/SocketCalls.h"

namespace zant::platform {

namespace {

using Clock = std::chrono::steady_clock;

#if defined(_WIN32)
using IoLength = int;
constexpr int sendFlags = 0;
constexpr int timedOut = WSAETIMEDOUT;
constexpr int connecting = WSAEWOULDBLOCK;
constexpr int interrupted = WSAEINTR;

// Nothing was there to take or no room to give: wait, then try again.
bool tryAgain(int failure) {
    return failure == WSAEWOULDBLOCK || failure == WSAEINTR;
}
#else
using IoLength = size_t;
#if defined(MSG_NOSIGNAL)
constexpr int sendFlags = MSG_NOSIGNAL;
#else
constexpr int sendFlags = 0;  // SO_NOSIGPIPE is set on the socket instead
#endif
constexpr int timedOut = ETIMEDOUT;
constexpr int connecting = EINPROGRESS;
constexpr int interrupted = EINTR;

bool tryAgain(int failure) {
    return failure == EAGAIN || failure == EWOULDBLOCK || failure == EINTR;
}
#endif

// The milliseconds left until `deadline`, at least 0; -1 (no limit) stays.
int remainingMs(int timeoutMs, Clock::time_point deadline) {
    if (timeoutMs < 0) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

#if defined(_WIN32)
// Winsock's select is not woken when another thread shuts the socket down
// (Wine's is not): a wait goes in turns of at most this long, and ends at
// the first turn that finds the handle closed.
constexpr int turnMs = 20;
#endif

// Waits at most `waitMs` (negative: without limit) until `socket` can be
// written (`writing`; a connect that failed counts) or read, or `wake` (when
// not noSocket) can be read, or `handle` (when given) is closed; says which
// in `ready` (a closed handle is ready: the call on it then fails) and
// `woken`. 1: one of them, 0: timed out, -1: failed (lastSocketError();
// EINTR on POSIX when a signal came).
int waitOnce(NativeSocket socket, bool writing, NativeSocket wake, int waitMs,
             const SocketHandle* handle, bool& ready, bool& woken) {
    ready = false;
    woken = false;
#if defined(_WIN32)
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        fd_set readable;
        fd_set writable;
        fd_set failed;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        if (writing) {
            FD_SET(socket, &writable);
            FD_SET(socket, &failed);
        } else {
            FD_SET(socket, &readable);
        }
        if (wake != noSocket) FD_SET(wake, &readable);
        const int left = remainingMs(waitMs, end);
        const int turn = handle == nullptr ? left : (left < 0 || left > turnMs ? turnMs : left);
        timeval time = {turn / 1000, (turn % 1000) * 1000};
        const int result = ::select(0, &readable, &writable, &failed, turn < 0 ? nullptr : &time);
        if (result < 0) return -1;
        if (result > 0) {
            ready = FD_ISSET(socket, &readable) || FD_ISSET(socket, &writable) ||
                    FD_ISSET(socket, &failed);
            woken = wake != noSocket && FD_ISSET(wake, &readable);
            return 1;
        }
        if (handle != nullptr && !handle->open()) {
            ready = true;
            return 1;
        }
        if (left == 0 || (left > 0 && turn == left)) return 0;
    }
#else
    (void)handle;  // a shutdown wakes poll
    const short events = writing ? POLLOUT : POLLIN;
    pollfd entries[2] = {{socket, events, 0}, {wake, POLLIN, 0}};
    const int result = ::poll(entries, wake == noSocket ? 1 : 2, waitMs < 0 ? -1 : waitMs);
    if (result <= 0) return result;
    ready = entries[0].revents != 0;
    woken = wake != noSocket && entries[1].revents != 0;
    return 1;
#endif
}

// Waits for `socket` until `deadline`, a signal on POSIX aside: 1 ready,
// 0 timed out, -1 failed (lastSocketError()).
int waitFor(NativeSocket socket, bool writing, int timeoutMs, Clock::time_point deadline,
            const SocketHandle* handle) {
    for (;;) {
        bool ready = false;
        bool woken = false;
        const int result = waitOnce(socket, writing, noSocket, remainingMs(timeoutMs, deadline),
                                    handle, ready, woken);
        if (result >= 0 || !tryAgain(lastSocketError())) return result;
    }
}

// One address, waiting for the handshake until `deadline`; the connected
// socket, or noSocket with `failure` set.
NativeSocket connectTo(const addrinfo& address, int timeoutMs, Clock::time_point deadline,
                       int& failure) {
    const NativeSocket socket = openSocket(address.ai_family);
    if (socket == noSocket) {
        failure = lastSocketError();
        return noSocket;
    }
    if (::connect(socket, address.ai_addr, static_cast<socklen_t>(address.ai_addrlen)) == 0)
        return socket;
    failure = lastSocketError();
    if (failure == connecting) {
        const int ready = waitFor(socket, true, timeoutMs, deadline, nullptr);
        if (ready > 0) {
            int value = 0;
            socklen_t length = sizeof value;
            failure = getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&value),
                                 &length) == 0
                          ? value
                          : lastSocketError();
            if (failure == 0) return socket;
        } else {
            failure = ready == 0 ? timedOut : lastSocketError();
        }
    }
    closeSocket(socket);
    return noSocket;
}

// The text of a failed name lookup.
std::string lookupErrorText(int resolved) {
#if defined(EAI_SYSTEM)
    if (resolved == EAI_SYSTEM) return socketErrorText(lastSocketError());
#endif
    return lowerFirst(gai_strerror(resolved));
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
    if (!startSockets()) {
        error = failed + socketErrorText(lastSocketError());
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
        error = failed + lookupErrorText(resolved);
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int failure = timedOut;
    NativeSocket socket = noSocket;
    // Every address of the name in turn, while time is left.
    for (const addrinfo* address = addresses; address != nullptr && socket == noSocket;
         address = address->ai_next) {
        socket = connectTo(*address, timeoutMs, deadline, failure);
        if (failure == timedOut) break;
    }
    freeaddrinfo(addresses);
    if (socket == noSocket) {
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
    const NativeSocket socket = use.socket();
    if (socket == noSocket) {
        error = "not connected";
        return Received::closed;
    }
    bool ready = false;
    bool woken = false;
    const int result = waitOnce(socket, false, wakeup == nullptr ? noSocket : wakeup->socket(),
                                timeoutMs, &handle_, ready, woken);
    int failure = result < 0 ? lastSocketError() : 0;
    if (woken) wakeup->clear();
    if (result == 0 || (result < 0 && tryAgain(failure)) || capacity == 0 ||
        (result > 0 && !ready)) {
        return Received::nothing;
    }
    if (failure == 0) {
        const auto got = ::recv(socket, buffer, static_cast<IoLength>(capacity), 0);
        if (got > 0) {
            size = static_cast<size_t>(got);
            return Received::data;
        }
        failure = got == 0 ? 0 : lastSocketError();
        if (failure != 0 && tryAgain(failure)) return Received::nothing;
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
    const NativeSocket socket = use.socket();
    if (socket == noSocket) {
        error = "not connected";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t sent = 0;
    int failure = 0;
    while (sent < data.size() && failure == 0) {
        const auto wrote = ::send(socket, data.data() + sent,
                                  static_cast<IoLength>(data.size() - sent), sendFlags);
        if (wrote >= 0) {
            sent += static_cast<size_t>(wrote);
            continue;
        }
        const int why = lastSocketError();
        if (!tryAgain(why)) {
            failure = why;
        } else if (why != interrupted) {
            const int ready = waitFor(socket, true, timeoutMs, deadline, &handle_);
            if (ready == 0) failure = timedOut;
            if (ready < 0) failure = lastSocketError();
        }
    }
    if (failure == 0) return true;
    error = handle_.open() ? "cannot send: " + socketErrorText(failure) : "connection closed";
    handle_.close();
    return false;
}

}  // namespace zant::platform
