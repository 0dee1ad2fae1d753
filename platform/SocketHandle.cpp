#include "platform/SocketHandle.h"

#if defined(_WIN32)
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include "platform/SocketCalls.h"

namespace zant::platform {

SocketHandle::~SocketHandle() {
    closeSocket(socket_);
}

SocketHandle::SocketHandle(SocketHandle&& other) noexcept {
    const std::lock_guard<Mutex> lock(other.mutex_);
    socket_ = other.socket_;
    closing_ = other.closing_;
    other.socket_ = noSocket;
    other.closing_ = false;
}

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
    if (this == &other) return *this;
    const std::scoped_lock lock(mutex_, other.mutex_);
    closeSocket(socket_);
    socket_ = other.socket_;
    closing_ = other.closing_;
    users_ = 0;
    other.socket_ = noSocket;
    other.closing_ = false;
    return *this;
}

bool SocketHandle::open() const {
    const std::lock_guard<Mutex> lock(mutex_);
    return socket_ != noSocket && !closing_;
}

void SocketHandle::close() {
    const std::lock_guard<Mutex> lock(mutex_);
    if (socket_ == noSocket || closing_) return;
    closing_ = true;
    // Wakes every thread waiting on the socket; a listening socket too (Linux).
#if defined(_WIN32)
    ::shutdown(socket_, SD_BOTH);
#else
    ::shutdown(socket_, SHUT_RDWR);
#endif
    if (users_ == 0) releaseLocked();
}

void SocketHandle::releaseLocked() {
    closeSocket(socket_);
    socket_ = noSocket;
    closing_ = false;
}

SocketHandle::Use::Use(SocketHandle& handle) : handle_(handle) {
    const std::lock_guard<Mutex> lock(handle_.mutex_);
    if (handle_.socket_ == noSocket || handle_.closing_) return;
    socket_ = handle_.socket_;
    ++handle_.users_;
}

SocketHandle::Use::~Use() {
    if (socket_ == noSocket) return;
    const std::lock_guard<Mutex> lock(handle_.mutex_);
    if (--handle_.users_ == 0 && handle_.closing_) handle_.releaseLocked();
}

}  // namespace zant::platform
