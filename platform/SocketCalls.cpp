#include "platform/SocketCalls.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

namespace zant::platform {

namespace {

// Where the type flags exist (Linux, the BSDs) they are set with the socket,
// so that a fork in another thread never inherits it; fcntl elsewhere.
int finish(int socket) {
    if (socket < 0) return socket;
#if !defined(SOCK_CLOEXEC)
    fcntl(socket, F_SETFD, FD_CLOEXEC);
    fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) | O_NONBLOCK);
#endif
    return socket;
}

}  // namespace

int openSocket(int family) {
#if defined(SOCK_CLOEXEC)
    return finish(::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
#else
    return finish(::socket(family, SOCK_STREAM, 0));
#endif
}

int acceptSocket(int listening) {
#if defined(SOCK_CLOEXEC)
    return finish(::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
#else
    return finish(::accept(listening, nullptr, nullptr));
#endif
}

void setConnectionOptions(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
#if defined(SO_NOSIGPIPE)
    setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

std::string socketErrorText(int number) {
    return lowerFirst(std::strerror(number));
}

std::string lowerFirst(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace zant::platform
