#include "peers/swp08/SwP08Peer.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace zant::routers {

namespace {

// How long a write to one client may take before the client is dropped.
constexpr int sendTimeoutMs = 2000;
// An accepting turn, and a client's: how soon stop(), a front-panel change
// or a resend that is due is seen.
constexpr int turnMs = 20;

using Clock = std::chrono::steady_clock;

}  // namespace

struct SwP08Peer::Client {
    int number = 0;
    platform::TcpStream stream;
    std::thread thread;
    bool connected = true;  // dropped clients stay until their thread ends
    bool finished = false;  // the thread touches nothing more
    int frames = 0;
    // The oldest frame not ACKed, since when, and how often sent again.
    SwP08PeerState::Bytes waiting;
    Clock::time_point waitingSince;
    int resends = 0;
};

SwP08Peer::SwP08Peer(SwP08PeerOptions options, SwP08PeerTiming timing)
    : timing_(std::move(timing)), state_(std::move(options)) {}

SwP08Peer::~SwP08Peer() {
    stop();
}

bool SwP08Peer::start(std::string& error) {
    if (running_) return true;
    if (!listener_.listen(timing_.port, error)) return false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    running_ = true;
    acceptor_ = std::thread([this] { acceptClients(); });
    return true;
}

void SwP08Peer::stop() {
    if (!running_) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        for (auto& client : clients_) client->stream.close();
    }
    listener_.close();
    acceptor_.join();
    std::vector<std::unique_ptr<Client>> clients;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        clients.swap(clients_);
    }
    for (auto& client : clients) client->thread.join();
    running_ = false;
}

bool SwP08Peer::route(int level, int destination, int source) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const SwP08PeerState::Bytes report = state_.route(level, destination, source);
    broadcastLocked(report);
    return !report.empty();
}

bool SwP08Peer::setProtect(int level, int destination, int state) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const SwP08PeerState::Bytes report = state_.setProtect(level, destination, state);
    broadcastLocked(report);
    return !report.empty();
}

int SwP08Peer::routeOf(int level, int destination) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return state_.routeOf(level, destination);
}

size_t SwP08Peer::framesReceived() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return state_.received().size();
}

void SwP08Peer::acceptClients() {
    for (;;) {
        platform::TcpStream stream = listener_.accept(turnMs);
        reapFinished();
        playFrontPanel();
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        if (!stream.open()) continue;
        auto client = std::make_unique<Client>();
        client->number = state_.connect();
        client->stream = std::move(stream);
        if (!firstConnected_) {
            firstConnected_ = true;
            firstConnectedAt_ = Clock::now();
        }
        Client& served = *client;
        clients_.push_back(std::move(client));
        served.thread = std::thread([this, &served] { serve(served); });
    }
}

void SwP08Peer::reapFinished() {
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

void SwP08Peer::playFrontPanel() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!firstConnected_) return;
    const auto elapsed = Clock::now() - firstConnectedAt_;
    while (changesMade_ < timing_.changes.size()) {
        const SwP08PeerTiming::Change& change = timing_.changes[changesMade_];
        if (elapsed < std::chrono::milliseconds(change.atMs)) return;
        ++changesMade_;
        switch (change.kind) {
            case SwP08PeerTiming::Change::Kind::route:
                broadcastLocked(state_.route(change.level, change.destination, change.source));
                break;
            case SwP08PeerTiming::Change::Kind::stopAcknowledging:
                state_.setAcknowledge(false);
                break;
            case SwP08PeerTiming::Change::Kind::badFrame: {
                // A report of the route asked whose checksum is wrong: the
                // client must NAK it and change nothing.
                SwP08Message report;
                report.kind = SwP08Message::Kind::connected;
                report.level = change.level;
                report.destination = change.destination;
                report.source = change.source;
                SwP08PeerState::Bytes frame = SwP08Frame::encode(report.encode());
                if (frame.size() > 3) frame[frame.size() - 3] ^= 0x01;
                for (auto& client : clients_) sendLocked(*client, frame);
                break;
            }
        }
    }
}

void SwP08Peer::serve(Client& client) {
    char buffer[4096];
    std::string error;
    for (;;) {
        size_t got = 0;
        const auto result = client.stream.receive(buffer, sizeof buffer, turnMs, got, error);
        if (result == platform::TcpStream::Received::closed) break;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || !client.connected) break;
        if (got > 0) {
            const size_t before = state_.received().size();
            const auto sends =
                state_.receive(client.number, reinterpret_cast<const std::uint8_t*>(buffer), got);
            const size_t after = state_.received().size();
            client.frames += static_cast<int>(after - before);
            if (timing_.log) logRoutesLocked(after - before);
            for (const SwP08PeerState::Send& send : sends) {
                if (send.toAll) {
                    broadcastLocked(send.bytes);
                } else {
                    sendLocked(client, send.bytes);
                }
            }
            if (timing_.dropAfterFrames > 0 && client.frames >= timing_.dropAfterFrames) break;
        }
        resendLocked(client);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    client.connected = false;
    client.stream.close();
    state_.disconnect(client.number);
    client.finished = true;
}

void SwP08Peer::logRoutesLocked(size_t newest) {
    const auto& received = state_.received();
    for (size_t i = received.size() - newest; i < received.size(); ++i) {
        SwP08Message asked;
        if (SwP08Message::decode(received[i].data, asked) != SwP08Message::Decoded::ok ||
            asked.kind != SwP08Message::Kind::connect) {
            continue;
        }
        std::cout << "level " << asked.level << " destination " << asked.destination
                  << " carries source " << state_.routeOf(asked.level, asked.destination)
                  << std::endl;
    }
}

void SwP08Peer::resendLocked(Client& client) {
    if (timing_.resendMs <= 0) return;
    SwP08PeerState::Bytes oldest = state_.resend(client.number);
    const auto now = Clock::now();
    if (oldest != client.waiting) {
        client.waiting = std::move(oldest);
        client.waitingSince = now;
        client.resends = 0;
        return;
    }
    if (client.waiting.empty() || client.resends == maxResends ||
        now - client.waitingSince < std::chrono::milliseconds(timing_.resendMs)) {
        return;
    }
    ++client.resends;
    client.waitingSince = now;
    sendLocked(client, client.waiting);
}

void SwP08Peer::broadcastLocked(const SwP08PeerState::Bytes& bytes) {
    for (auto& client : clients_) sendLocked(*client, bytes);
}

void SwP08Peer::sendLocked(Client& client, const SwP08PeerState::Bytes& bytes) {
    if (!client.connected || bytes.empty()) return;
    // A client that cannot take the bytes in time is closed by the stream,
    // and then dropped by its own thread.
    const std::string text(bytes.begin(), bytes.end());
    std::string error;
    if (timing_.writeChunk == 0) {
        client.stream.send(text, sendTimeoutMs, error);
        return;
    }
    for (size_t at = 0; at < text.size() && client.stream.open(); at += timing_.writeChunk) {
        if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        client.stream.send(text.substr(at, timing_.writeChunk), sendTimeoutMs, error);
    }
}

}  // namespace zant::routers
