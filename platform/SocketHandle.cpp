#include "platform/SocketHandle.h"

#include <sys/socket.h>
#include <unistd.h>

namespace zant::platform {

SocketHandle::~SocketHandle() {
    if (socket_ >= 0) ::close(socket_);
}

SocketHandle::SocketHandle(SocketHandle&& other) noexcept {
    const std::lock_guard<std::mutex> lock(other.mutex_);
    socket_ = other.socket_;
    closing_ = other.closing_;
    other.socket_ = -1;
    other.closing_ = false;
}

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
    if (this == &other) return *this;
    const std::scoped_lock lock(mutex_, other.mutex_);
    if (socket_ >= 0) ::close(socket_);
    socket_ = other.socket_;
    closing_ = other.closing_;
    users_ = 0;
    other.socket_ = -1;
    other.closing_ = false;
    return *this;
}

bool SocketHandle::open() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return socket_ >= 0 && !closing_;
}

void SocketHandle::close() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (socket_ < 0 || closing_) return;
    closing_ = true;
    // Wakes every thread waiting on the socket; a listening socket too (Linux).
    ::shutdown(socket_, SHUT_RDWR);
    if (users_ == 0) releaseLocked();
}

void SocketHandle::releaseLocked() {
    ::close(socket_);
    socket_ = -1;
    closing_ = false;
}

SocketHandle::Use::Use(SocketHandle& handle) : handle_(handle) {
    const std::lock_guard<std::mutex> lock(handle_.mutex_);
    if (handle_.socket_ < 0 || handle_.closing_) return;
    socket_ = handle_.socket_;
    ++handle_.users_;
}

SocketHandle::Use::~Use() {
    if (socket_ < 0) return;
    const std::lock_guard<std::mutex> lock(handle_.mutex_);
    if (--handle_.users_ == 0 && handle_.closing_) handle_.releaseLocked();
}

}  // namespace zant::platform
