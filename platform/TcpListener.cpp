#include "platform/TcpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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
    const int socket = openSocket(AF_INET);
    if (socket < 0) {
        error = failed + socketErrorText(errno);
        return false;
    }
    // A port left in TIME_WAIT by an earlier run may be taken again; a port
    // that someone listens on may not (no SO_REUSEPORT).
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if (::bind(socket, generic, length) != 0 || ::listen(socket, SOMAXCONN) != 0 ||
        getsockname(socket, generic, &length) != 0) {
        error = failed + socketErrorText(errno);
        ::close(socket);
        return false;
    }
    port_ = ntohs(address.sin_port);
    handle_ = SocketHandle(socket);
    return true;
}

TcpStream TcpListener::accept(int timeoutMs) {
    const SocketHandle::Use use(handle_);
    const int socket = use.socket();
    if (socket < 0) return {};
    pollfd entry = {socket, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs < 0 ? -1 : timeoutMs) <= 0 || !handle_.open()) return {};
    const int connection = acceptSocket(socket);
    if (connection < 0) return {};
    setConnectionOptions(connection);
    return TcpStream(connection);
}

}  // namespace zant::platform
