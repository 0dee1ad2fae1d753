#include "platform/TcpListener.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>

#include "platform/SocketCalls.h"

namespace zant::platform {

bool TcpListener::listen(int port, std::string& error) {
    handle_ = SocketHandle();
    port_ = 0;
    const std::string failed = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": ";
    if (port < 0 || port > 65535) {
        error = failed + "no such port";
        return false;
    }
    const NativeSocket socket = openSocket(AF_INET);
    if (socket == noSocket) {
        error = failed + socketErrorText(lastSocketError());
        return false;
    }
#if defined(_WIN32)
    // Winsock's SO_REUSEADDR would let a second listener share a busy port;
    // exclusive use refuses it, and a port in TIME_WAIT is free there anyway.
    const BOOL on = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
               sizeof on);
#else
    // A port left in TIME_WAIT by an earlier run may be taken again; a port
    // that someone listens on may not (no SO_REUSEPORT).
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if (::bind(socket, generic, length) != 0 || ::listen(socket, SOMAXCONN) != 0 ||
        getsockname(socket, generic, &length) != 0) {
        error = failed + socketErrorText(lastSocketError());
        closeSocket(socket);
        return false;
    }
    port_ = ntohs(address.sin_port);
    handle_ = SocketHandle(socket);
    return true;
}

TcpStream TcpListener::accept(int timeoutMs) {
    const SocketHandle::Use use(handle_);
    const NativeSocket socket = use.socket();
    if (socket == noSocket) return {};
#if defined(_WIN32)
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval time = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, timeoutMs < 0 ? nullptr : &time);
#else
    pollfd entry = {socket, POLLIN, 0};
    const int ready = ::poll(&entry, 1, timeoutMs < 0 ? -1 : timeoutMs);
#endif
    if (ready <= 0 || !handle_.open()) return {};
    const NativeSocket connection = acceptSocket(socket);
    if (connection == noSocket) return {};
    setConnectionOptions(connection);
    return TcpStream(connection);
}

}  // namespace zant::platform
