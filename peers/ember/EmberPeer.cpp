#include "peers/ember/EmberPeer.h"

#include <algorithm>
#include <utility>

namespace zant::routers {

namespace {

// How long a write to one consumer may take before it is dropped.
constexpr int sendTimeoutMs = 2000;
// An accepting turn: how soon stop() is seen, and pending answers carried out.
constexpr int acceptTurnMs = 50;

}  // namespace

struct EmberPeer::Consumer {
    int number = 0;  // the state's
    platform::TcpStream stream;
    std::thread thread;
    bool connected = true;  // dropped consumers stay until their thread ends
    bool finished = false;  // the thread touches nothing more
};

EmberPeer::EmberPeer(EmberPeerOptions options)
    : options_(std::move(options)), state_(options_.provider) {
    for (const int target : options_.locked) state_.setLocked(target, true);
}

EmberPeer::~EmberPeer() {
    stop();
}

bool EmberPeer::start(std::string& error) {
    if (running_) return true;
    if (!listener_.listen(options_.port, error)) return false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    running_ = true;
    acceptor_ = std::thread([this] { acceptConsumers(); });
    return true;
}

void EmberPeer::stop() {
    if (!running_) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    listener_.close();
    acceptor_.join();
    disconnectAll();
    std::vector<std::unique_ptr<Consumer>> consumers;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        consumers.swap(consumers_);
    }
    for (auto& consumer : consumers) consumer->thread.join();
    running_ = false;
}

void EmberPeer::acceptConsumers() {
    for (;;) {
        platform::TcpStream stream = listener_.accept(acceptTurnMs);
        reapFinished();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        doDueLocked();
        if (!stream.open()) continue;
        auto consumer = std::make_unique<Consumer>();
        consumer->number = state_.connect();
        consumer->stream = std::move(stream);
        if (options_.laterMs > 0 && !laterDue_ && consumer->number == 1) {
            laterDue_ = true;
            laterAt_ =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.laterMs);
        }
        Consumer& served = *consumer;
        consumers_.push_back(std::move(consumer));
        served.thread = std::thread([this, &served] { serve(served); });
        changed_.notify_all();
    }
}

// Pending answers are carried out a turn after they were given; the change
// made on the provider itself once its time came.
void EmberPeer::doDueLocked() {
    sendLocked(state_.settle());
    if (laterDue_ && std::chrono::steady_clock::now() >= laterAt_) {
        laterDue_ = false;
        sendLocked(state_.route(options_.laterTarget, options_.laterSource));
    }
}

void EmberPeer::reapFinished() {
    std::vector<std::unique_ptr<Consumer>> finished;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto& consumer : consumers_) {
            if (consumer->finished) finished.push_back(std::move(consumer));
        }
        consumers_.erase(std::remove(consumers_.begin(), consumers_.end(), nullptr),
                         consumers_.end());
    }
    for (auto& consumer : finished) consumer->thread.join();
}

void EmberPeer::serve(Consumer& consumer) {
    char buffer[4096];
    std::string error;
    for (;;) {
        size_t got = 0;
        const auto result = consumer.stream.receive(buffer, sizeof buffer, -1, got, error);
        if (result == platform::TcpStream::Received::closed) break;
        if (got == 0) continue;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!consumer.connected) break;
        sendLocked(
            state_.receive(consumer.number, reinterpret_cast<const std::uint8_t*>(buffer), got));
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    dropLocked(consumer);
    consumer.finished = true;
}

void EmberPeer::sendLocked(const EmberProviderState::Sends& sends) {
    for (const EmberProviderState::Send& send : sends) {
        for (auto& consumer : consumers_) {
            if (consumer == nullptr || consumer->number != send.consumer || !consumer->connected) {
                continue;
            }
            // A consumer that cannot take the bytes in time is closed by the
            // stream, and then dropped by its own thread.
            const std::string bytes(send.bytes.begin(), send.bytes.end());
            const size_t chunk = options_.writeChunk == 0 ? bytes.size() : options_.writeChunk;
            std::string error;
            for (size_t at = 0; at < bytes.size() && consumer->stream.open(); at += chunk) {
                if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                consumer->stream.send(bytes.substr(at, chunk), sendTimeoutMs, error);
            }
        }
    }
}

void EmberPeer::dropLocked(Consumer& consumer) {
    if (!consumer.connected) return;
    consumer.connected = false;
    consumer.stream.close();
    state_.disconnect(consumer.number);
    changed_.notify_all();
}

void EmberPeer::route(int target, int source) {
    const std::lock_guard<std::mutex> lock(mutex_);
    sendLocked(state_.route(target, source));
}

int EmberPeer::routeOf(int target) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return state_.routeOf(target);
}

int EmberPeer::consumers() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count_if(consumers_.begin(), consumers_.end(),
                                          [](const auto& c) { return c && c->connected; }));
}

bool EmberPeer::waitForConsumers(int count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::count_if(consumers_.begin(), consumers_.end(),
                             [](const auto& c) { return c && c->connected; }) == count;
    });
}

void EmberPeer::disconnectAll() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto& consumer : consumers_) {
        if (consumer != nullptr) dropLocked(*consumer);
    }
}

}  // namespace zant::routers
