#include "routers/RouterLink.h"

#include <algorithm>
#include <set>
#include <utility>

namespace zant::routers {

RouterLink::RouterLink(std::string host, int port, std::unique_ptr<RouterProtocol> protocol,
                       std::unique_ptr<RouterStream> stream, const RouterClock& clock,
                       Timing timing)
    : host_(std::move(host)),
      port_(port),
      protocol_(std::move(protocol)),
      stream_(std::move(stream)),
      clock_(clock),
      timing_(timing),
      backoffMs_(timing.firstBackoffMs) {}

RouterLink::~RouterLink() {
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    // Ends a connect, send or wait of the link's thread at once, so that a
    // stop never waits for a router that does not answer.
    stream_->interrupt();
    if (thread_.joinable()) thread_.join();
}

void RouterLink::start() {
    thread_ = platform::Thread([this] {
        for (;;) {
            {
                std::lock_guard<platform::Mutex> lock(mutex_);
                if (stopping_) break;
            }
            turn(timing_.pollMs);
        }
        stream_->close();
    });
}

RouterLink::Queued RouterLink::request(int id, int destination, int source) {
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        if (!connected_) return Queued::notConnected;
        if (queue_.size() >= maxQueued) return Queued::full;
        queue_.push_back(Request{id, destination, source});
    }
    stream_->wake();
    return Queued::yes;
}

std::vector<RouterLink::Event> RouterLink::take() {
    std::vector<Event> taken;
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        taken.swap(events_);
    }
    // A link waiting for the backlog to go reads again.
    if (!taken.empty()) changed_.notify_all();
    return taken;
}

void RouterLink::waitForEvents(int timeoutMs) {
    std::unique_lock<platform::Mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [this] { return !events_.empty() || stopping_; });
}

void RouterLink::push(Event event) {
    events_.push_back(std::move(event));
    changed_.notify_all();
}

void RouterLink::pause(int waitMs) {
    if (waitMs <= 0) return;
    std::unique_lock<platform::Mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return stopping_; });
}

void RouterLink::turn(int waitMs) {
    owner_.check();
    const int64_t now = clock_.nowMs();
    if (!open_) {
        connect(now, waitMs);
        return;
    }
    if (waitForTaker(waitMs)) {
        // The router waits for us meanwhile: the time is not its own, and
        // what it sent is read before its clocks are looked at again.
        const int64_t later = clock_.nowMs();
        sentAt_ += later - now;
        heardAt_ = later;
        return;
    }
    if (sendDue(now)) receive(waitMs);
}

bool RouterLink::waitForTaker(int waitMs) {
    std::unique_lock<platform::Mutex> lock(mutex_);
    const auto full = [this] { return events_.size() > maxBacklog && !stopping_; };
    if (!full()) return false;
    changed_.wait_for(lock, std::chrono::milliseconds(std::max(waitMs, 0)),
                      [&full] { return !full(); });
    return true;
}

void RouterLink::connect(int64_t now, int waitMs) {
    if (now < retryAt_) {
        pause(static_cast<int>(std::min<int64_t>(waitMs, retryAt_ - now)));
        return;
    }
    std::string error;
    if (!stream_->connect(host_, port_, timing_.connectMs, error)) {
        {
            std::lock_guard<platform::Mutex> lock(mutex_);
            if (stopping_) return;
            // One error line an outage, not one a retry.
            if (!inOutage_) push(Event::lostBecause(error));
        }
        inOutage_ = true;
        retryLater();
        return;
    }
    // The backoff starts again only once this connection proves itself
    // (its dump came): a router that accepts and drops is not hit faster.
    open_ = true;
    heardAt_ = clock_.nowMs();
    onWire_ = 0;
    std::string greeting;
    protocol_->connected(greeting);
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        connected_ = true;
        push(Event::of(Event::Kind::connected));
    }
    if (!greeting.empty()) send(greeting);
}

bool RouterLink::sendDue(int64_t now) {
    std::string bytes;
    if (protocol_->awaitingAnswer()) {
        // A router still sending (a slow dump) is alive: the answer's time
        // counts from the last bytes heard; not for ever, though, or one
        // that talks and never answers would hold every request behind it.
        const bool silent = now - std::max(sentAt_, heardAt_) >= timing_.answerMs;
        const bool tooLong = now - sentAt_ >= timing_.longestAnswerMs;
        if (silent || tooLong) {
            drop(std::string("no answer to ") +
                 (onWire_ != 0 ? "a request" : protocol_->keepAliveName()) + " within " +
                 std::to_string(silent ? timing_.answerMs : timing_.longestAnswerMs) + " ms" +
                 (silent ? "" : " while the router kept sending"));
            return false;
        }
    } else {
        bool queued = false;
        Request next{};
        {
            std::lock_guard<platform::Mutex> lock(mutex_);
            if (!queue_.empty()) {
                next = queue_.front();
                queue_.pop_front();
                queued = true;
            }
        }
        if (queued) {
            protocol_->route(next.id, next.destination, next.source, bytes);
            onWire_ = next.id;
            sentAt_ = now;
        } else if (now - heardAt_ >= timing_.quietMs) {
            protocol_->keepAlive(bytes);
            sentAt_ = now;
        }
    }
    protocol_->tick(now, bytes);
    return bytes.empty() || send(bytes);
}

bool RouterLink::send(const std::string& bytes) {
    std::string error;
    if (stream_->send(bytes, timing_.answerMs, error)) return true;
    drop(error.empty() ? "sending to the router failed" : error);
    return false;
}

void RouterLink::receive(int waitMs) {
    char buffer[4096];
    size_t size = 0;
    std::string error;
    switch (stream_->receive(buffer, sizeof buffer, waitMs, size, error)) {
        case RouterStream::Received::nothing:
            return;
        case RouterStream::Received::closed:
            drop(error.empty() ? "the router closed the connection" : error);
            return;
        case RouterStream::Received::data:
            break;
    }
    heardAt_ = clock_.nowMs();
    std::string reply;
    // Not kept between reads: a dump's worth would stay allocated.
    std::vector<RouterUpdate> updates;
    protocol_->received(buffer, size, updates, reply);
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        for (RouterUpdate& update : updates) {
            const bool answers = update.kind == RouterUpdate::Kind::answer ||
                                 update.kind == RouterUpdate::Kind::pending;
            if (answers && update.request == onWire_) {
                onWire_ = 0;
            }
            if (update.kind == RouterUpdate::Kind::dumpComplete) {
                inOutage_ = false;
                backoffMs_ = timing_.firstBackoffMs;
            }
            push(Event::carrying(std::move(update)));
        }
        if (events_.size() > maxBacklog) mergeBacklog();
    }
    if (!reply.empty()) send(reply);
}

void RouterLink::drop(const std::string& reason) {
    const std::string where = protocol_->midMessage() ? " in the middle of a message" : "";
    stream_->close();
    open_ = false;
    retryLater();
    std::lock_guard<platform::Mutex> lock(mutex_);
    connected_ = false;
    const bool unsent = onWire_ != 0 || !queue_.empty();
    if (onWire_ != 0) push(Event::unsentRequest(onWire_));
    onWire_ = 0;
    for (const Request& request : queue_) push(Event::unsentRequest(request.id));
    queue_.clear();
    // A connection that brought no state ends an outage already said,
    // unless requests went down with it.
    if (!inOutage_ || unsent) push(Event::lostBecause(reason + where));
    inOutage_ = true;
}

void RouterLink::retryLater() {
    retryAt_ = clock_.nowMs() + backoffMs_;
    backoffMs_ = std::min(backoffMs_ * 2, timing_.lastBackoffMs);
}

void RouterLink::mergeBacklog() {
    // Read from the newest: an update whose port has a later word before
    // the next barrier (any event but a route, label or lock) is dropped.
    // Notes of what is ignored are kept up to a few; the router's picture
    // counts, not each note.
    constexpr size_t notesKept = 64;
    std::set<std::pair<int, int>> later;
    std::vector<bool> dropped(events_.size(), false);
    size_t notes = 0;
    for (size_t i = events_.size(); i-- > 0;) {
        const Event& event = events_[i];
        if (event.kind != Event::Kind::update) {
            later.clear();
            continue;
        }
        const RouterUpdate& update = event.update;
        int kind = -1;
        int port = 0;
        switch (update.kind) {
            case RouterUpdate::Kind::route:
                kind = 0;
                port = update.destination;
                break;
            case RouterUpdate::Kind::lock:
                kind = 1;
                port = update.destination;
                break;
            case RouterUpdate::Kind::label:
                kind = update.side == Side::source ? 2 : 3;
                port = update.index;
                break;
            case RouterUpdate::Kind::ignored:
                dropped[i] = ++notes > notesKept;
                continue;
            default:
                later.clear();
                continue;
        }
        dropped[i] = !later.insert({kind, port}).second;
    }
    size_t kept = 0;
    for (size_t i = 0; i < events_.size(); ++i) {
        if (dropped[i]) continue;
        // Not onto itself: a string moved onto itself may come out empty.
        if (kept != i) events_[kept] = std::move(events_[i]);
        ++kept;
    }
    events_.resize(kept);
}

}  // namespace zant::routers
