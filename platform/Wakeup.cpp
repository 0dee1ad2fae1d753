#include "platform/Wakeup.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "platform/SocketCalls.h"

namespace zant::platform {

#if defined(_WIN32)

Wakeup::Wakeup() {
    const NativeSocket socket = openSocket(AF_INET, SOCK_DGRAM);
    if (socket == noSocket) return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    // Bound to a free loopback port and connected to itself: what it sends,
    // it reads.
    if (::bind(socket, generic, length) != 0 || getsockname(socket, generic, &length) != 0 ||
        ::connect(socket, generic, length) != 0) {
        closeSocket(socket);
        return;
    }
    read_ = socket;
    write_ = socket;
}

Wakeup::~Wakeup() {
    closeSocket(read_);
}

void Wakeup::signal() const {
    const char byte = 1;
    // A full buffer already wakes the waiter: nothing is lost when this fails.
    if (write_ != noSocket) (void)::send(write_, &byte, 1, 0);
}

void Wakeup::clear() const {
    char bytes[64];
    while (read_ != noSocket && ::recv(read_, bytes, sizeof bytes, 0) > 0) {
    }
}

#else

Wakeup::Wakeup() {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) return;
    for (const int end : ends) {
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    read_ = ends[0];
    write_ = ends[1];
}

Wakeup::~Wakeup() {
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
}

void Wakeup::signal() const {
    const char byte = 1;
    // A full pipe already wakes the waiter: nothing is lost when this fails.
    if (write_ >= 0) (void)!::write(write_, &byte, 1);
}

void Wakeup::clear() const {
    char bytes[64];
    while (read_ >= 0 && ::read(read_, bytes, sizeof bytes) > 0) {
    }
}

#endif

}  // namespace zant::platform
