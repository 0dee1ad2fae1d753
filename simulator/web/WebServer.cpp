#include "simulator/web/WebServer.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <httplib.h>
#include <sys/socket.h>

#include "simulator/web/WebAssets.h"

namespace zant::simulator {

namespace {

const char* const loopback = "127.0.0.1";
// Each open page holds one connection (one thread) for its updates.
constexpr size_t serverThreads = 16;
constexpr auto pollInterval = std::chrono::milliseconds(50);
// In real time the clock on the page moves at least this often.
constexpr int64_t clockRefresh = 200;

std::string errorBody(const std::string& error) {
    std::string escaped;
    for (const char c : error) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return "{\"ok\":false,\"error\":\"" + escaped + "\"}";
}

// The HTTP library's own socket options add SO_REUSEPORT, with which a second
// server on a busy port listens too and takes half the requests. Only
// SO_REUSEADDR: a port in TIME_WAIT may be taken again, one in use may not.
void reuseAddressOnly(int socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// Why the HTTP library refused a request before any handler saw it.
std::string refusalOf(int status) {
    switch (status) {
        case 413:
            return "the request is larger than " +
                   std::to_string(BrowserPanel::largestRequest / 1024) + " KiB";
        case 414:
            return "the request's address is too long";
        default:
            return "malformed HTTP request (status " + std::to_string(status) + ")";
    }
}

}  // namespace

WebServer::WebServer() : server_(std::make_unique<httplib::Server>()) {}

WebServer::~WebServer() = default;

bool WebServer::bind(int port, std::string& error) {
    routes();
    errno = 0;
    port_ = port == 0 ? server_->bind_to_any_port(loopback)
                      : (server_->bind_to_port(loopback, port) ? port : -1);
    if (port_ > 0) return true;
    const int reason = errno;
    error = "--serve: cannot listen on " + std::string(loopback) + ":" + std::to_string(port);
    if (reason == EADDRINUSE) {
        error = "--serve: port " + std::to_string(port) + " is in use";
    } else if (reason != 0) {
        error += ": " + std::string(std::strerror(reason));
    }
    return false;
}

void WebServer::routes() {
    server_->new_task_queue = [] { return new httplib::ThreadPool(serverThreads); };
    server_->set_socket_options(reuseAddressOnly);
    server_->set_payload_max_length(BrowserPanel::largestRequest);
    // What the library refuses itself (too large, malformed) is answered and
    // traced as every other refusal.
    const httplib::Server::HandlerWithResponse refused = [this](const httplib::Request&,
                                                                httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        const BrowserPanel::Answer answer =
            submitRefusal(response.status, refusalOf(response.status));
        response.status = answer.status;
        response.set_content(answer.body, "application/json");
        return httplib::Server::HandlerResponse::Handled;
    };
    server_->set_error_handler(refused);
    // Only pages of this server may drive it: a page of another site (or a
    // name that resolves here) has another Host, and a form of another site
    // cannot send JSON without asking first.
    server_->set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
            const std::string port = ":" + std::to_string(port_);
            const std::string host = request.get_header_value("Host");
            if (host == loopback + port || host == "localhost" + port) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            const BrowserPanel::Answer answer =
                submitRefusal(403, "a page of another host (\"" + host + "\") may not drive it");
            response.status = answer.status;
            response.set_content(answer.body, "application/json");
            return httplib::Server::HandlerResponse::Handled;
        });
    server_->Get(R"(/[a-z.]*)", [](const httplib::Request& request, httplib::Response& response) {
        const WebAssets::Asset* asset = WebAssets::find(request.path);
        if (asset == nullptr) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        response.set_content(reinterpret_cast<const char*>(asset->data), asset->size, asset->type);
    });
    server_->Get("/api/state", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard<std::mutex> lock(mutex_);
        response.set_header("Cache-Control", "no-store");
        response.set_content(state_, "application/json");
    });
    server_->Get("/api/events", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        auto seen = std::make_shared<uint64_t>(0);
        response.set_chunked_content_provider(
            "text/event-stream", [this, seen](size_t, httplib::DataSink& sink) {
                std::string state;
                if (!nextState(*seen, state)) return false;
                const std::string message =
                    state.empty() ? std::string(": still here\n\n") : "data: " + state + "\n\n";
                return sink.write(message.data(), message.size());
            });
    });
    server_->Post("/api/step",
                  [this](const httplib::Request& request, httplib::Response& response) {
                      const BrowserPanel::Answer answer =
                          request.get_header_value("Content-Type").rfind("application/json", 0) == 0
                              ? submit(request.body)
                              : submitRefusal(415, "a request is sent as application/json");
                      response.status = answer.status;
                      response.set_content(answer.body, "application/json");
                  });
}

BrowserPanel::Answer WebServer::submit(const std::string& body) {
    auto job = std::make_shared<Job>();
    job->body = body;
    return submit(job);
}

BrowserPanel::Answer WebServer::submitRefusal(int status, const std::string& reason) {
    auto job = std::make_shared<Job>();
    job->refusal = status;
    job->body = reason;
    return submit(job);
}

BrowserPanel::Answer WebServer::submit(const std::shared_ptr<Job>& job) {
    std::future<BrowserPanel::Answer> answer = job->answer.get_future();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return BrowserPanel::Answer{503, errorBody("the server is stopping")};
        jobs_.push_back(job);
    }
    jobsChanged_.notify_one();
    return answer.get();
}

void WebServer::publish(const std::string& state) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
        ++version_;
    }
    stateChanged_.notify_all();
}

bool WebServer::nextState(uint64_t& seen, std::string& state) {
    std::unique_lock<std::mutex> lock(mutex_);
    stateChanged_.wait_for(lock, std::chrono::seconds(1),
                           [&] { return stopping_ || version_ > seen; });
    if (stopping_) return false;
    if (version_ > seen) {
        state = state_;
        seen = version_;
    }
    return true;
}

void WebServer::serve(BrowserPanel& panel, Simulator& simulator, bool (*stopRequested)()) {
    publish(panel.state());
    std::thread listener([this] { server_->listen_after_bind(); });
    const VirtualClock& clock = simulator.world().clock();
    uint64_t publishedEvents = panel.events();
    int64_t publishedTime = clock.now();
    auto wallBase = std::chrono::steady_clock::now();
    int64_t virtualBase = clock.now();
    while (!stopRequested()) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            jobsChanged_.wait_for(lock, pollInterval, [this] { return !jobs_.empty(); });
            if (!jobs_.empty()) {
                job = jobs_.front();
                jobs_.pop_front();
            }
        }
        if (job) {
            job->answer.set_value(job->refusal != 0 ? panel.refuse(job->refusal, job->body)
                                                    : panel.handle(job->body));
        }
        // A real router's changes show while the page only watches.
        const bool routersChanged = simulator.takeInRouters(true);
        const auto wallNow = std::chrono::steady_clock::now();
        if (job || !panel.realtime()) {
            // The real-time clock goes on from wherever a request left it.
            wallBase = wallNow;
            virtualBase = clock.now();
        } else {
            simulator.advanceTo(
                virtualBase +
                std::chrono::duration_cast<std::chrono::milliseconds>(wallNow - wallBase).count());
        }
        if (job || routersChanged || panel.events() != publishedEvents ||
            clock.now() - publishedTime >= clockRefresh) {
            publish(panel.state());
            publishedEvents = panel.events();
            publishedTime = clock.now();
        }
    }
    std::deque<std::shared_ptr<Job>> unanswered;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        unanswered.swap(jobs_);
    }
    for (const auto& job : unanswered) {
        job->answer.set_value(BrowserPanel::Answer{503, errorBody("the server is stopping")});
    }
    stateChanged_.notify_all();
    server_->stop();
    listener.join();
}

}  // namespace zant::simulator
