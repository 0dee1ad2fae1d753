#include "routers/NetworkRouter.h"

#include <set>
#include <utility>

namespace zant::routers {

namespace {

// How long start() waits for the link at a time before it looks at its
// deadline and whether it was stopped.
constexpr int startPollMs = 20;
constexpr int maxTurnsByHand = 100;
// Notes of what is ignored shown one by one on a connection.
constexpr int notesShown = 8;
// Notes quoted in the line of a start that failed.
constexpr size_t notesQuoted = 3;

bool isPowerOfTen(int count) {
    while (count >= 10 && count % 10 == 0) count /= 10;
    return count == 1;
}

// The news of one take-in, routes merged: the last word on each destination,
// in the order of the last words.
void mergeRoutes(std::vector<std::pair<int, int>>& routed, size_t from) {
    std::set<int> later;
    std::vector<std::pair<int, int>> kept;
    for (size_t i = routed.size(); i-- > from;) {
        if (later.insert(routed[i].first).second) kept.push_back(routed[i]);
    }
    routed.resize(from);
    routed.insert(routed.end(), kept.rbegin(), kept.rend());
}

}  // namespace

NetworkRouter::NetworkRouter(int device, std::string address, std::string host, int port,
                             std::unique_ptr<RouterProtocol> protocol,
                             std::unique_ptr<RouterStream> stream, Settings settings)
    : device_(device),
      address_(std::move(address)),
      acknowledges_(protocol->answersWithAcknowledgement()),
      settings_(settings),
      picture_(protocol->maxPorts(), protocol->maxLabel()),
      link_(std::move(host), port, std::move(protocol), std::move(stream), *settings.clock,
            settings.timing) {}

std::string NetworkRouter::title() const {
    return "router " + std::to_string(device_) + " (" + address_ + ")";
}

std::string NetworkRouter::connection() const {
    return address_ + (lostBecause_.empty() ? ": connected" : ": connection lost: " + lostBecause_);
}

bool NetworkRouter::start(int timeoutMs, News& news, std::string& error,
                          const std::function<bool()>& stopped) {
    if (!byHand_) link_.start();
    const int64_t until = settings_.clock->nowMs() + timeoutMs;
    // Why no state came, with the last loss and what the router sent that is
    // ignored: the reason is usually among them.
    const auto noState = [this, &news](std::string why) {
        if (!lostBecause_.empty()) why += "; the last connection was lost: " + lostBecause_;
        size_t quoted = 0;
        for (const RouterNews& said : news.said) {
            if (said.kind != RouterNews::Kind::ignored || quoted == notesQuoted) continue;
            why += (quoted++ == 0 ? "; it sent what is ignored: " : "; ") + said.text;
        }
        return why;
    };
    // By hand the clock is the test's: a bounded number of turns instead.
    for (int turns = 0; !dumpComplete_; ++turns) {
        if (byHand_ && turns == maxTurnsByHand) {
            error =
                noState(title() + ": no status dump within " + std::to_string(turns) + " turns");
            return false;
        }
        if (stopped && stopped()) {
            error = title() + ": stopped while waiting for the router's status dump";
            return false;
        }
        if (settings_.clock->nowMs() >= until) {
            error = noState(title() + ": no status dump with its sizes and routes within " +
                            std::to_string(timeoutMs) + " ms");
            return false;
        }
        if (byHand_) {
            link_.turn(0);
        } else {
            link_.waitForEvents(startPollMs);
        }
        takeIn(news);
        if (!faults_.empty()) {
            error = title() + " " + faults_.front();
            return false;
        }
        // A router that is not there fails at once; one that accepted and
        // dropped is tried again, with the link's backoff, until the time
        // is out.
        if (!lostBecause_.empty() && !everConnected_) {
            error = title() + ": " + lostBecause_;
            return false;
        }
    }
    startSources_ = picture_.sources();
    startDestinations_ = picture_.destinations();
    started_ = true;
    return true;
}

bool NetworkRouter::name(Side side, int index, std::string& name) const {
    if (side == Side::source ? !validSource(index) : !validDestination(index)) return false;
    const std::string* label = picture_.label(side, index);
    if (label == nullptr) return false;
    name = *label;
    return true;
}

int NetworkRouter::source(int destination) const {
    return validDestination(destination) ? picture_.route(destination) : 0;
}

bool NetworkRouter::levelsDisagree(int destination) const {
    return validDestination(destination) && picture_.split(destination);
}

Lock NetworkRouter::lock(int destination) const {
    return validDestination(destination) ? picture_.lock(destination) : Lock::none;
}

RouterNews NetworkRouter::about(RouterNews::Kind kind, const Asked& asked) const {
    RouterNews news;
    news.kind = kind;
    news.source = asked.source;
    news.destination = asked.destination;
    news.carried = source(asked.destination);
    news.acknowledging = acknowledges_;
    return news;
}

void NetworkRouter::connect(int source, int destination) {
    if (!validSource(source) || !validDestination(destination)) return;
    Asked asked{nextId_++, source, destination, settings_.clock->nowMs()};
    asked.alreadyThere = picture_.route(destination) == source;
    switch (link_.request(asked.id, destination, source)) {
        case RouterLink::Queued::yes:
            asked_.push_back(asked);
            return;
        case RouterLink::Queued::notConnected:
            pending_.push_back(about(RouterNews::Kind::notConnected, asked));
            return;
        case RouterLink::Queued::full: {
            RouterNews full = about(RouterNews::Kind::queueFull, asked);
            full.count = static_cast<int>(RouterLink::maxQueued);
            pending_.push_back(full);
            return;
        }
    }
}

void NetworkRouter::takeIn(News& news) {
    for (RouterNews& said : pending_) news.said.push_back(std::move(said));
    pending_.clear();
    const size_t routedBefore = news.routed.size();
    for (RouterLink::Event& event : link_.take()) apply(event, news);
    // A burst's news reaches the component as the last route of each
    // destination.
    mergeRoutes(news.routed, routedBefore);
    expire(settings_.clock->nowMs(), news);
}

void NetworkRouter::apply(RouterLink::Event& event, News& news) {
    switch (event.kind) {
        case RouterLink::Event::Kind::connected:
            // "Connected again" once this connection brought the state.
            awaitingState_ = started_ && !lostBecause_.empty();
            everConnected_ = true;
            notes_ = 0;
            picture_.startAgain();
            return;
        case RouterLink::Event::Kind::update:
            applyUpdate(event.update, news);
            return;
        case RouterLink::Event::Kind::unsent:
            for (auto asked = asked_.begin(); asked != asked_.end(); ++asked) {
                if (asked->id != event.request) continue;
                unsent_.push_back(*asked);
                asked_.erase(asked);
                return;
            }
            return;
        case RouterLink::Event::Kind::lost:
            lostBecause_ = event.text;
            if (started_) {
                // One line for the loss and what it left unanswered.
                RouterNews lost = RouterNews::of(RouterNews::Kind::lost);
                lost.text = std::move(event.text);
                for (const Asked& asked : unsent_) {
                    lost.text += "; " + RouterNews::route(asked.source, asked.destination) +
                                 " went unanswered";
                }
                news.said.push_back(std::move(lost));
            }
            unsent_.clear();
            return;
    }
}

void NetworkRouter::applyUpdate(const RouterUpdate& update, News& news) {
    switch (update.kind) {
        case RouterUpdate::Kind::sizes:
            picture_.apply(update);
            if (started_ && (picture_.sources() != startSources_ ||
                             picture_.destinations() != startDestinations_)) {
                RouterNews resized = RouterNews::of(RouterNews::Kind::resized);
                resized.source = picture_.sources();
                resized.destination = picture_.destinations();
                resized.count = startSources_;
                resized.other = startDestinations_;
                news.said.push_back(resized);
            }
            return;
        case RouterUpdate::Kind::label:
        case RouterUpdate::Kind::lock:
        case RouterUpdate::Kind::levels:
            if (picture_.apply(update)) news.redrawn = true;
            return;
        case RouterUpdate::Kind::route: {
            const bool changed = picture_.apply(update);
            if (picture_.route(update.destination) != update.source) return;
            const bool asked = settle(update, news);
            // A report that repeats a route is news only when it answers ours.
            if (changed || asked) news.routed.emplace_back(update.destination, update.source);
            if (started_ && changed) routedSinceStart_.insert(update.destination);
            return;
        }
        case RouterUpdate::Kind::dumpComplete:
            dumpComplete_ = true;
            if (awaitingState_)
                news.said.push_back(RouterNews::of(RouterNews::Kind::connectedAgain));
            awaitingState_ = false;
            lostBecause_.clear();
            return;
        case RouterUpdate::Kind::answer:
            answer(update, news);
            return;
        case RouterUpdate::Kind::pending:
            // Taken, to be done later: settled once reported, or late at
            // the deadline, as an acknowledged route is.
            for (Asked& asked : asked_) {
                if (asked.id != update.request || asked.acknowledged) continue;
                asked.acknowledged = true;
                news.said.push_back(about(RouterNews::Kind::pending, asked));
            }
            return;
        case RouterUpdate::Kind::note: {
            RouterNews said = RouterNews::of(RouterNews::Kind::note);
            said.text = update.text;
            news.said.push_back(std::move(said));
            return;
        }
        case RouterUpdate::Kind::ignored:
            note(update, news);
            return;
        case RouterUpdate::Kind::fault:
            if (!started_) {
                faults_.push_back(update.text);
                return;
            }
            RouterNews fault = RouterNews::of(RouterNews::Kind::fault);
            fault.text = update.text;
            news.said.push_back(std::move(fault));
            return;
    }
}

void NetworkRouter::note(const RouterUpdate& update, News& news) {
    ++notes_;
    if (notes_ <= notesShown) {
        RouterNews ignored = RouterNews::of(RouterNews::Kind::ignored);
        ignored.text = update.text;
        news.said.push_back(std::move(ignored));
    } else if (isPowerOfTen(notes_)) {
        RouterNews counted = RouterNews::of(RouterNews::Kind::notesCounted);
        counted.count = notes_;
        news.said.push_back(std::move(counted));
    }
}

bool NetworkRouter::settle(const RouterUpdate& update, News& news) {
    bool asked = false;
    for (auto waiting = asked_.begin(); waiting != asked_.end();) {
        if (waiting->destination != update.destination || waiting->reported) {
            ++waiting;
            continue;
        }
        if (waiting->source == update.source) {
            waiting->reported = true;
            asked = true;
            ++waiting;
            continue;
        }
        // Before its acknowledgement a report is the state before the route;
        // after it, another source is what the router made of the request.
        if (!waiting->acknowledged) {
            ++waiting;
            continue;
        }
        news.said.push_back(about(RouterNews::Kind::otherSource, *waiting));
        waiting = asked_.erase(waiting);
    }
    return asked;
}

void NetworkRouter::answer(const RouterUpdate& update, News& news) {
    for (auto asked = asked_.begin(); asked != asked_.end(); ++asked) {
        if (asked->acknowledged || asked->id != update.request) continue;
        if (update.done) {
            if (acknowledges_) {
                asked->acknowledged = true;
                return;
            }
            // Without acknowledgements the answer is the new state itself,
            // reported just before it: another source is what the router
            // made of the request.
            if (picture_.route(asked->destination) != asked->source) {
                news.said.push_back(about(RouterNews::Kind::otherSource, *asked));
            }
            asked_.erase(asked);
            return;
        }
        RouterNews refused = about(RouterNews::Kind::refused, *asked);
        refused.text = update.text;
        refused.lock = lock(asked->destination);
        news.said.push_back(std::move(refused));
        asked_.erase(asked);
        return;
    }
}

void NetworkRouter::expire(int64_t now, News& news) {
    for (auto asked = asked_.begin(); asked != asked_.end();) {
        if (asked->acknowledged && (asked->reported || asked->alreadyThere)) {
            asked = asked_.erase(asked);
            continue;
        }
        if (now - asked->sentAt < settings_.deadlineMs) {
            ++asked;
            continue;
        }
        RouterNews late =
            about(asked->acknowledged ? RouterNews::Kind::unreported : RouterNews::Kind::unanswered,
                  *asked);
        late.count = settings_.deadlineMs;
        news.said.push_back(std::move(late));
        asked = asked_.erase(asked);
    }
}

}  // namespace zant::routers
