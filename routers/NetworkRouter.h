// A router of the installation that is a real one on the network, whatever
// its protocol. Names, routes and locks are answered from the picture kept
// of it (built from the router's own updates), never from the network, so a
// notification never waits for it. A route the component makes is asked of
// the router; the picture, and the component's revertives, change only when
// the router reports the route. A route asked is settled once the router
// has answered it and reported it (or, for a protocol without
// acknowledgements, answered it with the new state), and given up on with
// an error line at the deadline.
//
// Threads: the simulation's, every method; the link's thread is its own.
#ifndef ROUTERS_NETWORK_ROUTER_H
#define ROUTERS_NETWORK_ROUTER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "routers/Router.h"
#include "routers/RouterClock.h"
#include "routers/RouterLink.h"
#include "routers/RouterPicture.h"
#include "routers/RouterRegistrations.h"

namespace zant::routers {

class NetworkRouter : public Router {
public:
    struct Settings {
        // How long a route may go unanswered or unreported.
        int deadlineMs = 2000;
        RouterLink::Timing timing;
        const RouterClock* clock = &SteadyClock::instance();
    };

    // `address`: where it is, as the user wrote it ("videohub://HOST:PORT").
    NetworkRouter(int device, std::string address, std::string host, int port,
                  std::unique_ptr<RouterProtocol> protocol, std::unique_ptr<RouterStream> stream,
                  Settings settings);

    // Starts the link and waits, at most `timeoutMs`, for the router's first
    // dump to bring its sizes and routes; what it sent that is ignored is in
    // `news`. False with a one-line `error`, also when `stopped` says so
    // meanwhile (Ctrl-C).
    bool start(int timeoutMs, News& news, std::string& error,
               const std::function<bool()>& stopped) override;
    // The link, for a test that turns it by hand (before start(), which then
    // turns it instead of starting its thread).
    RouterLink& turnByHand() {
        byHand_ = true;
        return link_;
    }

    int device() const override { return device_; }
    int sources() const override { return picture_.sources(); }
    int destinations() const override { return picture_.destinations(); }
    using Router::name;
    bool name(Side side, int index, std::string& name) const override;
    int source(int destination) const override;
    void connect(int source, int destination) override;
    std::set<int> routedSinceStart() const override { return routedSinceStart_; }
    Lock lock(int destination) const override;
    bool levelsDisagree(int destination) const override;

    void registerRange(int first, int last, bool add) override {
        registrations_.add(first, last, destinations(), add);
    }
    void unregisterAll() override { registrations_.clear(); }
    bool registered(int destination) const override { return registrations_.contains(destination); }
    std::string registrations() const override { return registrations_.text(); }

    bool answersLater() const override { return true; }
    void takeIn(News& news) override;
    bool settled() const override { return asked_.empty() && pending_.empty(); }
    std::string connection() const override;
    std::string title() const override;
    // Waits (wall) until the link has something to take in, at most `timeoutMs`.
    void waitForNews(int timeoutMs) override { link_.waitForEvents(timeoutMs); }

private:
    // A route asked of the router, until it is answered and reported.
    struct Asked {
        int id;
        int source;
        int destination;
        int64_t sentAt;
        bool acknowledged = false;
        bool reported = false;
        bool alreadyThere = false;  // the picture had it when it was asked
    };

    void apply(RouterLink::Event& event, News& news);
    void note(const RouterUpdate& update, News& news);
    // Whether `update`, a route report, settles or fails the routes asked.
    bool settle(const RouterUpdate& update, News& news);
    void applyUpdate(const RouterUpdate& update, News& news);
    void answer(const RouterUpdate& update, News& news);
    void expire(int64_t now, News& news);
    RouterNews about(RouterNews::Kind kind, const Asked& asked) const;

    const int device_;
    const std::string address_;
    const bool acknowledges_;
    const Settings settings_;
    RouterPicture picture_;
    RouterLink link_;
    RouterRegistrations registrations_;
    std::set<int> routedSinceStart_;
    std::vector<Asked> asked_;
    std::vector<RouterNews> pending_;  // said at the next takeIn
    // The routes the lost connection left unanswered, said with the loss.
    std::vector<Asked> unsent_;
    std::vector<std::string> faults_;  // before the start ended
    int nextId_ = 1;
    bool started_ = false;
    bool byHand_ = false;
    bool dumpComplete_ = false;
    // A connection was made at all; one that was made and lost before the
    // start ended is tried again.
    bool everConnected_ = false;
    // A new connection after a loss, whose state has not come yet.
    bool awaitingState_ = false;
    std::string lostBecause_;  // empty while connected with the state read
    // Notes of what is ignored on this connection; beyond the first few
    // they are counted, a line at each power of ten.
    int notes_ = 0;
    int startSources_ = 0;
    int startDestinations_ = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_NETWORK_ROUTER_H
