#include "simulator/VideohubRouter.h"

#include <thread>
#include <utility>

namespace zant::simulator {

namespace {

using zant::hosting::VideohubPicture;

// A block whose lines were refused by the picture is reported with this many
// reasons at most, then a count.
constexpr size_t problemsShown = 3;

}  // namespace

VideohubRouter::VideohubRouter(int device, const std::string& host, int port, int deadlineMs,
                               VideohubLink::Timing timing)
    : device_(device), deadline_(deadlineMs), link_(host, port, timing) {}

std::string VideohubRouter::title() const {
    return "router " + std::to_string(device_) + " (" + link_.address() + ")";
}

bool VideohubRouter::start(int timeoutMs, News& news, std::string& error) {
    link_.start();
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!(picture_.sizesKnown() && picture_.routingKnown())) {
        if (Clock::now() >= until) {
            error = title() + ": no status dump with its sizes and routes within " +
                    std::to_string(timeoutMs) + " ms";
            return false;
        }
        link_.waitForEvents(std::chrono::milliseconds(20));
        takeIn(news);
        if (!lostBecause_.empty()) {
            error = title() + ": " + lostBecause_;
            return false;
        }
    }
    if (picture_.devicePresent() != "true") {
        error = title() + ": the router says \"Device present: " + picture_.devicePresent() + "\"";
        return false;
    }
    if (!picture_.versionUnderstood()) {
        error = title() + ": protocol version " + picture_.version() + " is not understood";
        return false;
    }
    startInputs_ = picture_.inputs();
    startOutputs_ = picture_.outputs();
    started_ = true;
    return true;
}

bool VideohubRouter::name(int database, int index, std::string& name) const {
    const std::string* label = nullptr;
    if (database == sourceDatabase && validSource(index)) label = picture_.inputLabel(index - 1);
    if (database == destinationDatabase && validDestination(index)) {
        label = picture_.outputLabel(index - 1);
    }
    if (label == nullptr) return false;
    name = *label;
    return true;
}

int VideohubRouter::source(int destination) const {
    if (!validDestination(destination)) return 0;
    const int input = picture_.route(destination - 1);
    return input < 0 ? 0 : input + 1;
}

char VideohubRouter::lock(int destination) const {
    if (!validDestination(destination)) return 0;
    return static_cast<char>(picture_.lock(destination - 1));
}

std::string VideohubRouter::connection() const {
    return link_.address() +
           (lostBecause_.empty() ? ": connected" : ": connection lost: " + lostBecause_);
}

std::string VideohubRouter::routeText(int source, int destination) const {
    return "route source " + std::to_string(source) + " -> destination " +
           std::to_string(destination);
}

void VideohubRouter::connect(int source, int destination) {
    if (!validSource(source) || !validDestination(destination)) return;
    Asked asked{source, destination, VideohubPicture::routeRequest(destination - 1, source - 1),
                Clock::now()};
    asked.alreadyThere = picture_.route(destination - 1) == source - 1;
    if (!link_.send(asked.request)) {
        pendingErrors_.push_back(title() + " is not connected: " + routeText(source, destination) +
                                 " was not sent");
        return;
    }
    asked_.push_back(std::move(asked));
}

void VideohubRouter::takeIn(News& news) {
    for (std::string& error : pendingErrors_) news.errors.push_back(std::move(error));
    pendingErrors_.clear();
    for (VideohubLink::Event& event : link_.take()) apply(event, news);
    expire(Clock::now(), news);
}

void VideohubRouter::apply(VideohubLink::Event& event, News& news) {
    using Kind = VideohubLink::Event::Kind;
    switch (event.kind) {
        case Kind::connected:
            if (!lostBecause_.empty() && started_) {
                news.notes.push_back(title() + ": connected again; its status dump follows");
            }
            lostBecause_.clear();
            picture_.startAgain();
            break;
        case Kind::block:
            applyBlock(event.block, news);
            break;
        case Kind::answer:
            answer(event.request, event.acknowledged, news);
            break;
        case Kind::unsent:
            for (auto asked = asked_.begin(); asked != asked_.end(); ++asked) {
                if (asked->request != event.request) continue;
                news.errors.push_back(title() + ": " +
                                      routeText(asked->source, asked->destination) +
                                      " went unanswered: the connection was lost");
                asked_.erase(asked);
                break;
            }
            break;
        case Kind::lost:
            lostBecause_ = event.text;
            if (started_) {
                news.errors.push_back(title() + ": connection lost: " + event.text +
                                      "; connecting again");
            }
            break;
        case Kind::problem:
            news.notes.push_back(title() + " sent what is ignored: " + event.text);
            break;
    }
}

void VideohubRouter::applyBlock(const zant::hosting::VideohubBlock& block, News& news) {
    const VideohubPicture::Applied applied = picture_.apply(block);
    for (size_t i = 0; i < applied.problems.size() && i < problemsShown; ++i) {
        news.notes.push_back(title() + " sent what is ignored: " + applied.problems[i]);
    }
    if (applied.problems.size() > problemsShown) {
        news.notes.push_back(title() + ": " +
                             std::to_string(applied.problems.size() - problemsShown) +
                             " more lines of \"" + block.header + ":\" ignored");
    }
    for (const VideohubPicture::RouteReport& report : applied.routes) {
        const int destination = report.output + 1;
        bool asked = false;
        for (Asked& waiting : asked_) {
            if (waiting.destination == destination) {
                waiting.reported = true;
                asked = true;
            }
        }
        // A status that repeats a route is news only when it answers ours.
        if (report.changed || asked) news.routed.emplace_back(destination, report.input + 1);
        if (started_ && report.changed) routedSinceStart_.insert(destination);
    }
    if (started_ && applied.sizesChanged &&
        (picture_.inputs() != startInputs_ || picture_.outputs() != startOutputs_)) {
        news.errors.push_back(
            title() + " now has " + std::to_string(picture_.inputs()) + " inputs and " +
            std::to_string(picture_.outputs()) + " outputs; the component's device file says " +
            std::to_string(startInputs_) + " and " + std::to_string(startOutputs_) +
            ": it no longer fits (start panel_host again)");
    }
    if (started_ && applied.deviceChanged && picture_.devicePresent() != "true") {
        news.errors.push_back(title() + " says \"Device present: " + picture_.devicePresent() +
                              "\"");
    }
}

void VideohubRouter::answer(const std::string& request, bool acknowledged, News& news) {
    for (auto asked = asked_.begin(); asked != asked_.end(); ++asked) {
        if (asked->acknowledged || asked->request != request) continue;
        if (acknowledged) {
            asked->acknowledged = true;
            return;
        }
        std::string why;
        const char held = lock(asked->destination);
        if (held == 'L') {
            why = ": destination " + std::to_string(asked->destination) +
                  " is locked by another client";
        } else if (held == 'O') {
            why = ": destination " + std::to_string(asked->destination) + " is locked by us";
        }
        const int carried = source(asked->destination);
        news.errors.push_back(
            title() + " refused " + routeText(asked->source, asked->destination) + " (NAK)" + why +
            "; destination " + std::to_string(asked->destination) + " carries " +
            (carried == 0 ? std::string("nothing known") : "source " + std::to_string(carried)));
        asked_.erase(asked);
        return;
    }
}

void VideohubRouter::expire(Clock::time_point now, News& news) {
    for (auto asked = asked_.begin(); asked != asked_.end();) {
        if (asked->acknowledged && (asked->reported || asked->alreadyThere)) {
            asked = asked_.erase(asked);
            continue;
        }
        if (now - asked->sentAt < deadline_) {
            ++asked;
            continue;
        }
        const int carried = source(asked->destination);
        news.errors.push_back(
            title() + (asked->acknowledged ? " acknowledged " : " did not answer ") +
            routeText(asked->source, asked->destination) +
            (asked->acknowledged ? " but did not report it" : "") + " within " +
            std::to_string(deadline_.count()) + " ms; destination " +
            std::to_string(asked->destination) + " carries " +
            (carried == 0 ? std::string("nothing known") : "source " + std::to_string(carried)) +
            " as the router last reported");
        asked = asked_.erase(asked);
    }
}

}  // namespace zant::simulator
