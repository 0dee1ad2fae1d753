// From an address that a person writes, SCHEME://HOST[:PORT][/PATH][?PARAMS],
// to a router on the network that speaks the scheme's protocol: one table of
// schemes, one entry a protocol. A scheme whose router this build cannot
// reach (no network link on the platform) is refused at run time with a
// line that says so.
//
// Threads: the simulation's.
#ifndef ROUTERS_ROUTER_FACTORY_H
#define ROUTERS_ROUTER_FACTORY_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "routers/LinkTiming.h"
#include "routers/Router.h"
#include "routers/RouterClock.h"
#include "routers/RouterProtocol.h"
#include "routers/RouterStream.h"

namespace zant::routers {

struct RouterAddress {
    std::string scheme;  // "videohub"
    std::string host;    // a name or an address; IPv6 without its brackets
    int port = 0;
    std::string path;  // after the '/' that follows HOST[:PORT]
    std::vector<std::pair<std::string, std::string>> params;
    // "videohub://HOST:PORT", as lines name the router.
    std::string text() const;
};

class RouterFactory {
public:
    using MakeProtocol = std::unique_ptr<RouterProtocol> (*)(const RouterAddress& address,
                                                             std::string& error);
    struct Scheme {
        std::string name;
        int defaultPort = 0;  // 0: the address must give it
        MakeProtocol make = nullptr;
        std::string usage;  // "videohub://HOST[:PORT]"
    };
    // How the routers it makes keep time and connection.
    struct Settings {
        int deadlineMs = 2000;
        const RouterClock* clock = &SteadyClock::instance();
        LinkTiming timing;
    };

    // The schemes of this build's protocols.
    static RouterFactory builtIn();
    void add(Scheme scheme) { schemes_.push_back(std::move(scheme)); }
    // Every scheme's usage, joined by " or ".
    std::string usage() const;

    // False with a one-line `error` for an address of no known scheme, or
    // one that does not read as SCHEME://HOST[:PORT][/PATH][?PARAMS] with a
    // port in 1..65535.
    bool parse(const std::string& text, RouterAddress& address, std::string& error) const;
    // The router of `device` at `address` (parsed by this factory), not yet
    // started; null with a one-line `error`. `stream`: the connection to use
    // (tests); null: TCP.
    std::unique_ptr<Router> router(int device, const RouterAddress& address,
                                   const Settings& settings, std::string& error,
                                   std::unique_ptr<RouterStream> stream = nullptr) const;

private:
    const Scheme* find(const std::string& name) const;

    std::vector<Scheme> schemes_;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_FACTORY_H
