// A router of the installation that is a real one, reached over the Videohub
// Ethernet protocol. Names, routes and locks are answered from the picture
// kept of it (its status dump and change blocks), never from the network, so
// a notification never waits for it. A route the component makes is asked of
// the router; the picture, and the component's revertives, change only when
// the router reports the route in a status block. Our indices count from 1,
// the protocol's from 0: database 0 is the router's inputs, database 1 its
// outputs.
#ifndef SIMULATOR_VIDEOHUB_ROUTER_H
#define SIMULATOR_VIDEOHUB_ROUTER_H

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hosting/VideohubPicture.h"
#include "simulator/Router.h"
#include "simulator/RouterRegistrations.h"
#include "simulator/VideohubLink.h"

namespace zant::simulator {

class VideohubRouter : public Router {
public:
    // `deadlineMs`: how long a route may go unanswered or unreported.
    VideohubRouter(int device, const std::string& host, int port, int deadlineMs,
                   VideohubLink::Timing timing = VideohubLink::Timing());

    // Connects and waits, at most `timeoutMs`, for the status dump to bring
    // the router's sizes and routes; what the dump had that was ignored is
    // in `news`. False with a one-line `error`.
    bool start(int timeoutMs, News& news, std::string& error);

    int device() const override { return device_; }
    int sources() const override { return picture_.inputs(); }
    int destinations() const override { return picture_.outputs(); }
    bool name(int database, int index, std::string& name) const override;
    int source(int destination) const override;
    void connect(int source, int destination) override;
    std::set<int> routedSinceStart() const override { return routedSinceStart_; }

    void registerRange(int first, int last, bool add) override {
        registrations_.add(first, last, destinations(), add);
    }
    void unregisterAll() override { registrations_.clear(); }
    bool registered(int destination) const override { return registrations_.contains(destination); }
    std::string registrations() const override { return registrations_.text(); }

    bool answersLater() const override { return true; }
    void takeIn(News& news) override;
    bool settled() const override { return asked_.empty() && pendingErrors_.empty(); }
    char lock(int destination) const override;
    std::string connection() const override;

    // "router 12 (videohub://HOST:PORT)"
    std::string title() const;

private:
    using Clock = std::chrono::steady_clock;
    // A route asked of the router, until it is answered and reported.
    struct Asked {
        int source;
        int destination;
        std::string request;
        Clock::time_point sentAt;
        bool acknowledged = false;
        bool reported = false;
        bool alreadyThere = false;  // the picture had it when it was asked
    };

    void apply(VideohubLink::Event& event, News& news);
    void applyBlock(const zant::hosting::VideohubBlock& block, News& news);
    void answer(const std::string& request, bool acknowledged, News& news);
    void expire(Clock::time_point now, News& news);
    std::string routeText(int source, int destination) const;

    const int device_;
    const std::chrono::milliseconds deadline_;
    VideohubLink link_;
    zant::hosting::VideohubPicture picture_;
    RouterRegistrations registrations_;
    std::set<int> routedSinceStart_;
    std::vector<Asked> asked_;
    std::vector<std::string> pendingErrors_;  // errors for the next takeIn
    bool started_ = false;
    std::string lostBecause_;  // empty while connected
    int startInputs_ = 0;
    int startOutputs_ = 0;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_VIDEOHUB_ROUTER_H
