#include "routers/RouterNews.h"

namespace zant::routers {

namespace {

std::string routeText(const RouterNews& news) {
    return RouterNews::route(news.source, news.destination);
}

std::string carries(const RouterNews& news) {
    return "; destination " + std::to_string(news.destination) + " carries " +
           (news.carried == 0 ? std::string("nothing known")
                              : "source " + std::to_string(news.carried));
}

}  // namespace

std::string RouterNews::route(int source, int destination) {
    return "route source " + std::to_string(source) + " -> destination " +
           std::to_string(destination);
}

bool RouterNews::error() const {
    switch (kind) {
        case Kind::connectedAgain:
        case Kind::ignored:
        case Kind::pending:
        case Kind::note:
        case Kind::notesCounted:
            return false;
        case Kind::lost:
        case Kind::notConnected:
        case Kind::queueFull:
        case Kind::refused:
        case Kind::unanswered:
        case Kind::unreported:
        case Kind::otherSource:
        case Kind::resized:
        case Kind::fault:
            return true;
    }
    return true;
}

std::string RouterNews::sentence(const std::string& title) const {
    switch (kind) {
        case Kind::connectedAgain:
            return title + ": connected again; its state is read anew";
        case Kind::lost:
            return title + ": connection lost: " + text + "; connecting again";
        case Kind::notConnected:
            return title + " is not connected: " + routeText(*this) + " was not sent";
        case Kind::queueFull:
            return title + ": " + std::to_string(count) +
                   " requests already wait to be sent: " + routeText(*this) + " was not sent";
        case Kind::refused: {
            std::string why;
            if (lock == Lock::theirs) {
                why =
                    ": destination " + std::to_string(destination) + " is locked by another client";
            } else if (lock == Lock::ours) {
                why = ": destination " + std::to_string(destination) + " is locked by us";
            }
            return title + " refused " + routeText(*this) + " (" + text + ")" + why +
                   carries(*this);
        }
        case Kind::unanswered:
            return title + " did not answer " + routeText(*this) + " within " +
                   std::to_string(count) + " ms" + carries(*this) + " as the router last reported";
        case Kind::unreported:
            // Acknowledged, or (where the new state is the answer) pending.
            return title + (acknowledging ? " acknowledged " : " answered ") + routeText(*this) +
                   (acknowledging ? " but did not report it within "
                                  : " as pending but did not "
                                    "report it done within ") +
                   std::to_string(count) + " ms" + carries(*this) + " as the router last reported";
        case Kind::otherSource:
            return title + (acknowledging ? " acknowledged " : " answered ") + routeText(*this) +
                   (acknowledging ? " but reported destination " : " with destination ") +
                   std::to_string(destination) + " carrying source " + std::to_string(carried);
        case Kind::resized:
            return title + " now has " + std::to_string(source) + " inputs and " +
                   std::to_string(destination) + " outputs; the component's device file says " +
                   std::to_string(count) + " and " + std::to_string(other) +
                   ": it no longer fits (start panel_host again)";
        case Kind::fault:
            return title + " " + text;
        case Kind::ignored:
            return title + " sent what is ignored: " + text;
        case Kind::pending:
            return title + " will carry out " + routeText(*this) + " later (pending)";
        case Kind::note:
            return title + " " + text;
        case Kind::notesCounted:
            return title + " sent what is ignored " + std::to_string(count) +
                   " times on this connection so far; only the first are shown";
    }
    return title;
}

}  // namespace zant::routers
