// What a router on the network has to say besides its routes, as facts; the
// sentences of the trace are made from them here and nowhere else.
#ifndef ROUTERS_ROUTER_NEWS_H
#define ROUTERS_ROUTER_NEWS_H

#include <string>

#include "routers/RouterUpdate.h"

namespace zant::routers {

struct RouterNews {
    enum class Kind {
        connectedAgain,  // a new connection after a loss brought the state
        lost,            // the connection ended (`text`: why and what it left
                         // unanswered); connecting again
        notConnected,    // the route was not sent: no connection
        queueFull,       // the route was not sent: too many wait to be sent
        refused,         // the router refused the route (`text`: its answer)
        unanswered,      // no answer to the route within `count` ms
        unreported,      // acknowledged, but not reported within `count` ms
        otherSource,     // acknowledged (or, without acknowledgements,
                         // answered) and reported carrying `carried`
        resized,         // now `sources` x `destinations`, not `count` x `other`
        fault,           // the router cannot be driven as it is (`text`)
        ignored,         // the router sent what is ignored (`text`)
        pending,         // the router will carry out the route later
        note,            // what the user should know of the router (`text`:
                         // a sentence after its title)
        notesCounted,    // `count` notes of what is ignored on this connection
                         // so far; only the first are shown
    };
    Kind kind = Kind::ignored;
    int source = 0;
    int destination = 0;
    int carried = 0;  // what the destination carries as last reported
    Lock lock = Lock::none;
    // The router acknowledges requests; without, its answer is the state.
    bool acknowledging = true;
    int count = 0;
    int other = 0;
    std::string text;

    static RouterNews of(Kind kind) {
        RouterNews news;
        news.kind = kind;
        return news;
    }
    // "route source 3 -> destination 8"
    static std::string route(int source, int destination);
    // Whether it is an error line (else a note).
    bool error() const;
    // The trace's line, after the router's title ("router 12 (...)").
    std::string sentence(const std::string& title) const;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_NEWS_H
