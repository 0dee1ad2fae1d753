// The connection to one router, whatever its protocol, kept by a thread of
// its own that alone touches the stream: it connects (again, with backoff,
// after a loss), hands the router's bytes to the protocol, sends what the
// protocol gives back, keeps at most one route request on the wire until the
// router answers it, and asks a quiet router for a sign of life, so that a
// connection that died silently is found. The simulation thread only
// queues requests (a bounded queue) and takes what happened as events, so
// the network never blocks it.
//
// Threads: the constructor, start(), request(), take(), waitForEvents() and
// the destructor are the simulation thread's; turn() is the link thread's
// (a test may call it instead of start(), from one thread: debug builds
// abort when another thread turns it).
#ifndef ROUTERS_ROUTER_LINK_H
#define ROUTERS_ROUTER_LINK_H

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ConditionVariable.h"
#include "platform/Mutex.h"
#include "platform/Thread.h"
#include "routers/LinkTiming.h"
#include "routers/OwnerThread.h"
#include "routers/RouterClock.h"
#include "routers/RouterProtocol.h"
#include "routers/RouterStream.h"
#include "routers/RouterUpdate.h"

namespace zant::routers {

class RouterLink {
public:
    using Timing = LinkTiming;
    // Requests waiting to be sent; beyond them a request is refused.
    static constexpr size_t maxQueued = 1024;
    // Events the simulation has not taken yet (a burst of routing news, a
    // prompt waiting for hours beside a busy router): beyond this many, the
    // routes, labels and locks waiting are merged, the last word on each
    // port kept; when that is not enough (a large router's dump) the link
    // reads no more until the simulation has taken them: the router's bytes
    // wait in the network, and nothing is dropped.
    static constexpr size_t maxBacklog = 8192;

    struct Event {
        enum class Kind {
            connected,  // a new connection: its dump should follow
            update,     // `update` from the router
            unsent,     // `request` went unanswered: the connection was lost
            lost,       // the connection ended (or could not be made): `text`
        };
        Kind kind = Kind::lost;
        RouterUpdate update;
        int request = 0;
        std::string text;

        static Event of(Kind kind) {
            Event event;
            event.kind = kind;
            return event;
        }
        static Event carrying(RouterUpdate update) {
            Event event = of(Kind::update);
            event.update = std::move(update);
            return event;
        }
        static Event unsentRequest(int id) {
            Event event = of(Kind::unsent);
            event.request = id;
            return event;
        }
        static Event lostBecause(std::string why) {
            Event event = of(Kind::lost);
            event.text = std::move(why);
            return event;
        }
    };

    RouterLink(std::string host, int port, std::unique_ptr<RouterProtocol> protocol,
               std::unique_ptr<RouterStream> stream, const RouterClock& clock, Timing timing);
    // Stops the thread; a connect, send or wait in progress ends at once.
    ~RouterLink();
    RouterLink(const RouterLink&) = delete;
    RouterLink& operator=(const RouterLink&) = delete;

    // Starts the thread, which connects at once.
    void start();
    enum class Queued { yes, notConnected, full };
    // Queues "`destination` carries `source`" as request `id`; its answer
    // comes as an update event with that id.
    Queued request(int id, int destination, int source);
    // What happened since the last call, oldest first.
    std::vector<Event> take();
    // Waits until an event is there to take, at most `timeoutMs` (wall).
    void waitForEvents(int timeoutMs);

    // One turn of the link: connects when due, sends what is due, takes in
    // what came within `waitMs` (0: what is there), and looks at its clocks.
    void turn(int waitMs);

private:
    struct Request {
        int id;
        int destination;
        int source;
    };

    void connect(int64_t now, int waitMs);
    // False when the connection was lost meanwhile.
    bool sendDue(int64_t now);
    bool send(const std::string& bytes);
    void receive(int waitMs);
    void drop(const std::string& reason);
    // The next connect is due after the backoff, which then doubles.
    void retryLater();
    void push(Event event);  // with the mutex held
    // Merges the routes, labels and locks waiting, the last word on each
    // port kept (with the mutex held).
    void mergeBacklog();
    // Whether the backlog is still full: the link then waits (wall) at most
    // `waitMs` for the simulation to take it.
    bool waitForTaker(int waitMs);
    // Waits (wall) at most `waitMs`, less when stopped or given work.
    void pause(int waitMs);

    const std::string host_;
    const int port_;
    const std::unique_ptr<RouterProtocol> protocol_;
    const std::unique_ptr<RouterStream> stream_;
    const RouterClock& clock_;
    const Timing timing_;

    // The link thread's own.
    OwnerThread owner_;
    bool open_ = false;
    // From a loss until a connection brings the router's whole state: one
    // line an outage, and the backoff grows until the state came.
    bool inOutage_ = false;
    int backoffMs_ = 0;
    int64_t retryAt_ = 0;
    int64_t heardAt_ = 0;
    int64_t sentAt_ = 0;  // of the request or keep-alive waiting for its answer
    int onWire_ = 0;      // the request waiting for its answer; 0: none (or a keep-alive)

    // Shared with the simulation thread.
    platform::Mutex mutex_;
    platform::ConditionVariable changed_;
    bool stopping_ = false;
    bool connected_ = false;
    std::deque<Request> queue_;
    std::vector<Event> events_;
    platform::Thread thread_;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_LINK_H
