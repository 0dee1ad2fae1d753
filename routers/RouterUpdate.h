// The one vocabulary in which every router protocol tells what its router
// said, whatever its wire looks like. Indices count from 1, as the host's
// do; each protocol maps its own numbering onto them.
#ifndef ROUTERS_ROUTER_UPDATE_H
#define ROUTERS_ROUTER_UPDATE_H

#include <string>
#include <utility>

namespace zant::routers {

// The two sides of a router: what it takes in and what it puts out.
enum class Side { source, destination };

// Who holds a destination's lock; `none` for a router without locks.
enum class Lock { none, unlocked, ours, theirs };

struct RouterUpdate {
    // A count of `sizes` that this update does not give.
    static constexpr int unknown = -1;

    enum class Kind {
        sizes,         // `sources` x `destinations`, either may be unknown
        label,         // the name of `index` on `side`
        route,         // `destination` carries `source`
        lock,          // `destination`'s `lock`
        dumpComplete,  // the connection's full state has arrived
        answer,        // request `request` was done, or refused (`text`: why)
        ignored,       // the router sent what is ignored (`text`: one sentence)
        levels,        // whether `destination`'s levels carry different sources (`split`)
        fault,         // the router cannot be driven as it is (`text`)
        pending,       // request `request` was taken and is to be done later
        note,          // what the user should know of the router (`text`: a
                       // sentence after its title)
    };
    Kind kind = Kind::ignored;
    Side side = Side::source;
    int index = 0;
    int sources = 0;
    int destinations = 0;
    int source = 0;
    int destination = 0;
    Lock lock = Lock::none;
    int request = 0;
    bool done = false;
    bool split = false;
    std::string text;

    static RouterUpdate of(Kind kind) {
        RouterUpdate update;
        update.kind = kind;
        return update;
    }
    static RouterUpdate sizesOf(int sourceCount, int destinationCount) {
        RouterUpdate update = of(Kind::sizes);
        update.sources = sourceCount;
        update.destinations = destinationCount;
        return update;
    }
    static RouterUpdate labelOf(Side labelled, int port, std::string name) {
        RouterUpdate update = of(Kind::label);
        update.side = labelled;
        update.index = port;
        update.text = std::move(name);
        return update;
    }
    static RouterUpdate routeOf(int to, int from) {
        RouterUpdate update = of(Kind::route);
        update.destination = to;
        update.source = from;
        return update;
    }
    static RouterUpdate lockOf(int to, Lock held) {
        RouterUpdate update = of(Kind::lock);
        update.destination = to;
        update.lock = held;
        return update;
    }
    static RouterUpdate levelsOf(int to, bool disagree) {
        RouterUpdate update = of(Kind::levels);
        update.destination = to;
        update.split = disagree;
        return update;
    }
    static RouterUpdate dumpCompleted() { return of(Kind::dumpComplete); }
    static RouterUpdate answerTo(int id, bool wasDone, std::string why = {}) {
        RouterUpdate update = of(Kind::answer);
        update.request = id;
        update.done = wasDone;
        update.text = std::move(why);
        return update;
    }
    static RouterUpdate pendingOf(int id) {
        RouterUpdate update = of(Kind::pending);
        update.request = id;
        return update;
    }
    static RouterUpdate noting(std::string sentence) {
        RouterUpdate update = of(Kind::note);
        update.text = std::move(sentence);
        return update;
    }
    static RouterUpdate ignoring(std::string sentence) {
        RouterUpdate update = of(Kind::ignored);
        update.text = std::move(sentence);
        return update;
    }
    static RouterUpdate faultOf(std::string sentence) {
        RouterUpdate update = of(Kind::fault);
        update.text = std::move(sentence);
        return update;
    }
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_UPDATE_H
