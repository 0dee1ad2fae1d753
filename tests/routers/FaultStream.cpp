#include "tests/routers/FaultStream.h"

#include <algorithm>

namespace zant::routers {

bool FaultStream::connect(const std::string& host, int port, int /*timeoutMs*/,
                          std::string& error) {
    ++attempts;
    if (refuse) {
        error = "cannot connect to " + host + ":" + std::to_string(port) + ": connection refused";
        return false;
    }
    open_ = true;
    ++connects;
    written.clear();
    inbound_ = greeting;
    read_ = 0;
    return true;
}

RouterStream::Received FaultStream::receive(char* buffer, size_t capacity, int /*timeoutMs*/,
                                            size_t& size, std::string& error) {
    size = 0;
    if (!open_) {
        error = "connection closed";
        return Received::closed;
    }
    if (read_ == resetAfterRead) {
        open_ = false;
        error = "connection reset by peer";
        return Received::closed;
    }
    size = std::min(
        {inbound_.size(), capacity, pieces == 0 ? capacity : pieces, resetAfterRead - read_});
    if (size == 0) return Received::nothing;
    inbound_.copy(buffer, size);
    inbound_.erase(0, size);
    read_ += size;
    return Received::data;
}

bool FaultStream::send(const std::string& data, int timeoutMs, std::string& error) {
    if (!open_) {
        error = "connection closed";
        return false;
    }
    const size_t stop = std::min(resetAfterWritten, stallAfterWritten);
    const size_t room = stop - std::min(stop, written.size());
    if (data.size() <= room) {
        written += data;
        return true;
    }
    written += data.substr(0, room);
    open_ = false;
    if (stallAfterWritten < resetAfterWritten) {
        clock_.advance(timeoutMs);
        error = "cannot send: connection timed out";
    } else {
        error = "cannot send: connection reset by peer";
    }
    return false;
}

}  // namespace zant::routers
