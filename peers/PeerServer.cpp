#include "peers/PeerServer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace zant::peers {

namespace {

// How long a write to one client may take before the client is dropped.
constexpr int sendTimeoutMs = 2000;

std::string_view viewOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

struct PeerServer::Client {
    int number = 0;
    platform::TcpStream stream;
    std::thread thread;
    bool connected = true;  // dropped clients stay until their thread ends
    bool finished = false;  // the thread touches nothing more
};

PeerServer::PeerServer(Handler& handler, Options options) : handler_(handler), options_(options) {}

PeerServer::~PeerServer() {
    stop();
}

bool PeerServer::start(std::string& error) {
    if (running_) return true;
    if (!listener_.listen(options_.port, error)) return false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    running_ = true;
    acceptor_ = std::thread([this] { acceptClients(); });
    return true;
}

void PeerServer::stop() {
    if (!running_) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    listener_.close();
    acceptor_.join();
    disconnectAll();
    std::vector<std::unique_ptr<Client>> clients;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        clients.swap(clients_);
    }
    for (auto& client : clients) client->thread.join();
    running_ = false;
}

void PeerServer::acceptClients() {
    for (;;) {
        platform::TcpStream stream = listener_.accept(options_.turnMs);
        reapFinished();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        handler_.tickLocked();
        if (!stream.open()) continue;
        auto client = std::make_unique<Client>();
        client->number = handler_.admitLocked();
        client->stream = std::move(stream);
        Client& served = *client;
        clients_.push_back(std::move(client));
        // Greeted under the lock: no change is missed and none comes first.
        handler_.welcomeLocked(served.number);
        served.thread = std::thread([this, &served] { serve(served); });
        changed_.notify_all();
    }
}

void PeerServer::reapFinished() {
    std::vector<std::unique_ptr<Client>> finished;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto& client : clients_) {
            if (client->finished) finished.push_back(std::move(client));
        }
        clients_.erase(std::remove(clients_.begin(), clients_.end(), nullptr), clients_.end());
    }
    for (auto& client : finished) client->thread.join();
}

void PeerServer::serve(Client& client) {
    char buffer[4096];
    std::string received;
    std::string error;
    const int waitMs = options_.clientTicks ? options_.turnMs : -1;
    bool open = true;
    const auto receive = [&](int timeoutMs) {
        size_t got = 0;
        const auto result = client.stream.receive(buffer, sizeof buffer, timeoutMs, got, error);
        open = result != platform::TcpStream::Received::closed;
        received.append(buffer, got);
        return result == platform::TcpStream::Received::data;
    };
    while (open) {
        received.clear();
        const bool data = receive(waitMs);
        if (data && options_.answerDelayMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.answerDelayMs));
            while (receive(0)) {
            }
        }
        if (!data && !options_.clientTicks) continue;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !client.connected) break;
        if (!received.empty()) {
            const bool keep = handler_.receivedLocked(
                client.number, reinterpret_cast<const std::uint8_t*>(received.data()),
                received.size());
            changed_.notify_all();
            if (!keep) break;
        }
        if (options_.clientTicks && client.connected) handler_.clientTickLocked(client.number);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    dropLocked(client);
    client.finished = true;
}

bool PeerServer::waitFor(int timeoutMs, const std::function<bool()>& ready) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

PeerServer::Client* PeerServer::findLocked(int number) {
    for (auto& client : clients_) {
        if (client != nullptr && client->number == number) return client.get();
    }
    return nullptr;
}

void PeerServer::sendLocked(int number, std::string_view bytes) {
    Client* client = findLocked(number);
    if (client == nullptr || !client->connected || bytes.empty()) return;
    const size_t chunk = options_.writeChunk == 0 ? bytes.size() : options_.writeChunk;
    std::string error;
    for (size_t at = 0; at < bytes.size() && client->stream.open(); at += chunk) {
        if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        client->stream.send(std::string(bytes.substr(at, chunk)), sendTimeoutMs, error);
    }
}

void PeerServer::sendLocked(int client, const std::vector<std::uint8_t>& bytes) {
    sendLocked(client, viewOf(bytes));
}

void PeerServer::broadcastLocked(std::string_view bytes) {
    for (const int client : clientsLocked()) sendLocked(client, bytes);
}

void PeerServer::broadcastLocked(const std::vector<std::uint8_t>& bytes) {
    broadcastLocked(viewOf(bytes));
}

std::vector<int> PeerServer::clientsLocked() const {
    std::vector<int> numbers;
    for (const auto& client : clients_) {
        if (client != nullptr && client->connected) numbers.push_back(client->number);
    }
    return numbers;
}

void PeerServer::dropLocked(int number) {
    if (Client* client = findLocked(number)) dropLocked(*client);
}

void PeerServer::dropLocked(Client& client) {
    if (!client.connected) return;
    client.connected = false;
    client.stream.close();
    handler_.droppedLocked(client.number);
    changed_.notify_all();
}

void PeerServer::disconnectAllLocked() {
    for (auto& client : clients_) {
        if (client != nullptr) dropLocked(*client);
    }
}

int PeerServer::clients() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(clientsLocked().size());
}

bool PeerServer::waitForClients(int count, int timeoutMs) const {
    return waitFor(timeoutMs, [&] { return static_cast<int>(clientsLocked().size()) == count; });
}

void PeerServer::disconnectAll() {
    const std::lock_guard<std::mutex> lock(mutex_);
    disconnectAllLocked();
}

}  // namespace zant::peers
