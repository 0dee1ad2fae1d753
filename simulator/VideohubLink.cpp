#include "simulator/VideohubLink.h"

#include <algorithm>
#include <utility>

#include "hosting/VideohubPicture.h"

namespace zant::simulator {

namespace {

// How long the thread waits for the router's bytes before it looks at its
// clocks again (a ping due, an answer overdue, a stop asked for). A request
// never waits for it: send() puts it on an idle wire at once, and the next
// queued one goes out as soon as the answer is read.
constexpr int receivePollMs = 20;
// A request block is a few dozen bytes and at most one is on the wire, so
// the socket's buffer always has room: this bounds only a broken socket.
constexpr int directSendMs = 50;
// Events the simulation has not taken yet (a prompt waiting for hours beside
// a busy router): beyond this many the link starts again from a new dump,
// which brings the picture up to date in a bounded number of blocks.
constexpr size_t maxBacklog = 8192;

bool isAnswer(const zant::hosting::VideohubBlock& block) {
    return block.header == "ACK" || block.header == "NAK";
}

}  // namespace

VideohubLink::VideohubLink(std::string host, int port, Timing timing)
    : host_(std::move(host)), port_(port), timing_(timing) {}

VideohubLink::~VideohubLink() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void VideohubLink::start() {
    thread_ = std::thread([this] { run(); });
}

std::string VideohubLink::address() const {
    return "videohub://" + host_ + ":" + std::to_string(port_);
}

bool VideohubLink::send(const std::string& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) return false;
    if (!outstanding_.empty() || pingOutstanding_ || !queue_.empty()) {
        queue_.push_back(request);
        return true;
    }
    // The wire is idle: out at once, from this thread. A send that fails
    // has closed the stream; the link's thread then finds the connection
    // gone and reports this request unsent.
    outstanding_ = request;
    sentAt_ = Clock::now();
    std::string ignored;
    stream_.send(request, directSendMs, ignored);
    return true;
}

std::vector<VideohubLink::Event> VideohubLink::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Event> taken;
    taken.swap(events_);
    return taken;
}

void VideohubLink::waitForEvents(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [this] { return !events_.empty() || stopping_; });
}

bool VideohubLink::connected() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connected_;
}

void VideohubLink::push(Event event) {
    events_.push_back(std::move(event));
    changed_.notify_all();
}

void VideohubLink::pause(int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping_; });
}

void VideohubLink::run() {
    int backoff = timing_.firstBackoffMs;
    bool downReported = false;
    char buffer[4096];
    for (;;) {
        bool wasConnected = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) break;
            wasConnected = connected_;
        }
        // A send of send() that failed closed the stream: the connection
        // ends here, before a new one is made, so no send meets a connect.
        if (!stream_.open() && wasConnected) {
            dropConnection("sending to the router failed");
            downReported = true;
            pause(backoff);
            continue;
        }
        if (!stream_.open()) {
            std::string error;
            if (!stream_.connect(host_, port_, timing_.connectMs, error)) {
                // One error line an outage, not one a retry.
                if (!downReported) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    push(Event{Event::Kind::lost, {}, {}, false, error});
                }
                downReported = true;
                pause(backoff);
                backoff = std::min(backoff * 2, timing_.lastBackoffMs);
                continue;
            }
            backoff = timing_.firstBackoffMs;
            downReported = false;
            heardAt_ = Clock::now();
            std::lock_guard<std::mutex> lock(mutex_);
            reader_.reset();
            connected_ = true;
            push(Event{Event::Kind::connected, {}, {}, false, {}});
        }
        std::string request;
        std::string error;
        size_t size = 0;
        bool lost = !nextRequest(Clock::now(), request, error) ||
                    (!request.empty() && !stream_.send(request, timing_.answerMs, error));
        if (!lost) {
            switch (stream_.receive(buffer, sizeof buffer, receivePollMs, size, error)) {
                case zant::platform::TcpStream::Received::nothing:
                    break;
                case zant::platform::TcpStream::Received::closed:
                    lost = true;
                    if (error.empty()) error = "the router closed the connection";
                    break;
                case zant::platform::TcpStream::Received::data:
                    heardAt_ = Clock::now();
                    takeIn(buffer, size);
                    if (discardedBacklog()) {
                        lost = true;
                        error = "more than " + std::to_string(maxBacklog) +
                                " blocks waited to be taken in; starting again from a new dump";
                    }
                    break;
            }
        }
        if (lost) {
            dropConnection(error);
            // The failed attempts that follow are the same outage.
            downReported = true;
            pause(backoff);
        }
    }
    stream_.close();
}

bool VideohubLink::nextRequest(Clock::time_point now, std::string& request, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!outstanding_.empty() || pingOutstanding_) {
        if (now - sentAt_ < std::chrono::milliseconds(timing_.answerMs)) return true;
        error = std::string("no answer to ") + (pingOutstanding_ ? "PING" : "a request") +
                " within " + std::to_string(timing_.answerMs) + " ms";
        return false;
    }
    if (!queue_.empty()) {
        outstanding_ = queue_.front();
        queue_.pop_front();
        request = outstanding_;
    } else if (now - heardAt_ >= std::chrono::milliseconds(timing_.quietMs)) {
        pingOutstanding_ = true;
        request = zant::hosting::VideohubPicture::pingRequest();
    } else {
        return true;
    }
    sentAt_ = now;
    return true;
}

void VideohubLink::takeIn(const char* data, size_t size) {
    std::vector<zant::hosting::VideohubBlock> blocks;
    std::lock_guard<std::mutex> lock(mutex_);
    reader_.feed(data, size, blocks);
    for (std::string& problem : reader_.takeProblems()) {
        push(Event{Event::Kind::problem, {}, {}, false, std::move(problem)});
    }
    for (zant::hosting::VideohubBlock& block : blocks) {
        if (!isAnswer(block)) {
            push(Event{Event::Kind::block, std::move(block), {}, false, {}});
            continue;
        }
        // An answer nobody waits for (a second ACK) is not this link's.
        const bool acknowledged = block.header == "ACK";
        if (pingOutstanding_) {
            pingOutstanding_ = false;
        } else if (!outstanding_.empty()) {
            push(Event{Event::Kind::answer, {}, std::move(outstanding_), acknowledged, {}});
            outstanding_.clear();
        }
    }
}

bool VideohubLink::discardedBacklog() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (events_.size() <= maxBacklog) return false;
    events_.clear();
    return true;
}

void VideohubLink::dropConnection(const std::string& reason) {
    stream_.close();
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string where = reader_.midBlock() ? " in the middle of a block" : "";
    reader_.reset();
    connected_ = false;
    pingOutstanding_ = false;
    if (!outstanding_.empty()) queue_.push_front(std::move(outstanding_));
    outstanding_.clear();
    for (std::string& request : queue_) {
        push(Event{Event::Kind::unsent, {}, std::move(request), false, {}});
    }
    queue_.clear();
    push(Event{Event::Kind::lost, {}, {}, false, reason + where});
}

}  // namespace zant::simulator
