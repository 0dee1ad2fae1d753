#include "routers/TcpRouterStream.h"

namespace zant::routers {

bool TcpRouterStream::connect(const std::string& host, int port, int timeoutMs,
                              std::string& error) {
    if (!stream_.connect(host, port, timeoutMs, error)) return false;
    // An interrupt that came during the connect found nothing to close.
    if (interrupted_) {
        stream_.close();
        error = "stopped";
        return false;
    }
    return true;
}

RouterStream::Received TcpRouterStream::receive(char* buffer, size_t capacity, int timeoutMs,
                                                size_t& size, std::string& error) {
    switch (stream_.receive(buffer, capacity, timeoutMs, size, error, &wakeup_)) {
        case zant::platform::TcpStream::Received::data:
            return Received::data;
        case zant::platform::TcpStream::Received::nothing:
            return Received::nothing;
        case zant::platform::TcpStream::Received::closed:
            return Received::closed;
    }
    return Received::closed;
}

bool TcpRouterStream::send(const std::string& data, int timeoutMs, std::string& error) {
    return stream_.send(data, timeoutMs, error);
}

void TcpRouterStream::interrupt() {
    interrupted_ = true;
    // TcpStream's close() may come from any thread while a call waits.
    stream_.close();
    wakeup_.signal();
}

}  // namespace zant::routers
