// A router link's connection over TCP.
//
// Threads: as RouterStream.
#ifndef ROUTERS_TCP_ROUTER_STREAM_H
#define ROUTERS_TCP_ROUTER_STREAM_H

#include <atomic>
#include <string>

#include "platform/TcpStream.h"
#include "platform/Wakeup.h"
#include "routers/RouterStream.h"

namespace zant::routers {

class TcpRouterStream : public RouterStream {
public:
    bool connect(const std::string& host, int port, int timeoutMs, std::string& error) override;
    Received receive(char* buffer, size_t capacity, int timeoutMs, size_t& size,
                     std::string& error) override;
    bool send(const std::string& data, int timeoutMs, std::string& error) override;
    void close() override { stream_.close(); }
    void wake() override { wakeup_.signal(); }
    void interrupt() override;

private:
    zant::platform::TcpStream stream_;
    zant::platform::Wakeup wakeup_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace zant::routers

#endif  // ROUTERS_TCP_ROUTER_STREAM_H
