// panel_host --serve: the browser face. An HTTP server on 127.0.0.1 (never
// another address) serves the page and its files from the binary, a JSON
// state, a stream of state updates (server-sent events) and the requests of
// the page. The server's threads never touch the simulation: requests are
// queued to the simulation's thread, which answers them, moves the clock in
// real time when asked to, and publishes the state after each change for
// every open page.
#ifndef SIMULATOR_WEB_WEB_SERVER_H
#define SIMULATOR_WEB_WEB_SERVER_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "simulator/web/BrowserPanel.h"

namespace httplib {
class Server;
}

namespace zant::simulator {

class WebServer {
public:
    WebServer();
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Binds 127.0.0.1:`port` (0: a free port). False with `error` on a fault.
    bool bind(int port, std::string& error);
    int port() const { return port_; }

    // Serves `panel` on the calling thread, which must be the simulation's,
    // until stopRequested() turns true (polled a few times a second).
    void serve(BrowserPanel& panel, Simulator& simulator, bool (*stopRequested)());

private:
    struct Job {
        std::string body;  // the request, or the reason of a refusal
        int refusal = 0;   // the status of a request refused before the panel saw it
        std::promise<BrowserPanel::Answer> answer;
    };
    void routes();
    // Hands a request, or a refusal to answer and trace, to the simulation
    // thread and waits for its answer.
    BrowserPanel::Answer submit(const std::string& body);
    BrowserPanel::Answer submitRefusal(int status, const std::string& reason);
    BrowserPanel::Answer submit(const std::shared_ptr<Job>& job);
    void publish(const std::string& state);
    // Waits up to a second for a state newer than `seen`; false once stopping.
    bool nextState(uint64_t& seen, std::string& state);

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;

    std::mutex mutex_;
    std::condition_variable jobsChanged_;
    std::condition_variable stateChanged_;
    std::deque<std::shared_ptr<Job>> jobs_;
    std::string state_;
    uint64_t version_ = 0;
    bool stopping_ = false;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_WEB_WEB_SERVER_H
