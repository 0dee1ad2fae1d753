#include "platform/SocketCalls.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
// winsock2.h first: windows.h would bring the old winsock.h.
#include <windows.h>
#else
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cctype>
#include <cstring>

namespace zant::platform {

#if defined(_WIN32)

namespace {

NativeSocket finish(SOCKET socket) {
    if (socket == INVALID_SOCKET) return noSocket;
    u_long on = 1;
    ioctlsocket(socket, FIONBIO, &on);
    SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    return socket;
}

// The wording of glibc's strerror for the errors a router link meets, so
// that a line reads the same on Linux and Windows.
const char* posixWording(int number) {
    switch (number) {
        case WSAECONNREFUSED:
            return "connection refused";
        case WSAETIMEDOUT:
            return "connection timed out";
        case WSAECONNRESET:
            return "connection reset by peer";
        case WSAECONNABORTED:
            return "software caused connection abort";
        case WSAENETUNREACH:
            return "network is unreachable";
        case WSAEHOSTUNREACH:
            return "no route to host";
        case WSAEADDRINUSE:
            return "address already in use";
        case WSAEADDRNOTAVAIL:
            return "cannot assign requested address";
        case WSAENOTCONN:
            return "transport endpoint is not connected";
        case WSAESHUTDOWN:
            return "cannot send after transport endpoint shutdown";
        case WSAEACCES:
            return "permission denied";
        case WSANOTINITIALISED:
            return "the network could not be started";
        default:
            return nullptr;
    }
}

}  // namespace

bool startSockets() {
    // A function's static is made once, whichever thread comes first.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

NativeSocket openSocket(int family, int type) {
    if (!startSockets()) return noSocket;
    return finish(::socket(family, type == 0 ? SOCK_STREAM : type, 0));
}

NativeSocket acceptSocket(NativeSocket listening) {
    return finish(::accept(listening, nullptr, nullptr));
}

void closeSocket(NativeSocket socket) {
    if (socket != noSocket) ::closesocket(socket);
}

int lastSocketError() {
    return WSAGetLastError();
}

void setConnectionOptions(NativeSocket socket) {
    const BOOL on = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

std::string socketErrorText(int number) {
    if (const char* wording = posixWording(number)) return wording;
    char text[256] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(number), 0, text, sizeof text, nullptr);
    std::string message(text, length);
    // The system's text is a sentence with its own line end.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == '.' || message.back() == ' ')) {
        message.pop_back();
    }
    if (message.empty()) return "socket error " + std::to_string(number);
    return lowerFirst(message);
}

#else

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

bool startSockets() {
    return true;
}

NativeSocket openSocket(int family, int type) {
    if (type == 0) type = SOCK_STREAM;
#if defined(SOCK_CLOEXEC)
    return finish(::socket(family, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
#else
    return finish(::socket(family, type, 0));
#endif
}

NativeSocket acceptSocket(NativeSocket listening) {
#if defined(SOCK_CLOEXEC)
    return finish(::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
#else
    return finish(::accept(listening, nullptr, nullptr));
#endif
}

void closeSocket(NativeSocket socket) {
    if (socket != noSocket) ::close(socket);
}

int lastSocketError() {
    return errno;
}

void setConnectionOptions(NativeSocket socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
#if defined(SO_NOSIGPIPE)
    setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

std::string socketErrorText(int number) {
    return lowerFirst(std::strerror(number));
}

#endif

std::string lowerFirst(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace zant::platform
