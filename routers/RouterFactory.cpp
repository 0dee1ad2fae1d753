#include "routers/RouterFactory.h"

#include <algorithm>

#include "routers/EmberProtocol.h"
#include "routers/SwP08Protocol.h"
#include "routers/VideohubProtocol.h"
#if defined(ZANT_ROUTERS_LINK)
#include "routers/NetworkRouter.h"
#include "routers/TcpRouterStream.h"
#endif

namespace zant::routers {

namespace {

std::unique_ptr<RouterProtocol> makeVideohub(const RouterAddress& address, std::string& error) {
    if (!address.path.empty() || !address.params.empty()) {
        error = "a videohub:// address has no path and no parameters";
        return nullptr;
    }
    return std::make_unique<VideohubProtocol>();
}

std::unique_ptr<RouterProtocol> makeEmber(const RouterAddress& address, std::string& error) {
    std::vector<std::string> matrix;
    if (!address.params.empty() || !EmberProtocol::parsePath(address.path, matrix)) {
        error =
            "an ember:// address names its matrix by a path such as /router.video or /1.1, "
            "and has no parameters";
        return nullptr;
    }
    return std::make_unique<EmberProtocol>(std::move(matrix));
}

std::unique_ptr<RouterProtocol> makeSwP08(const RouterAddress& address, std::string& error) {
    SwP08Protocol::Settings settings;
    if (!address.path.empty()) {
        error = "a swp08:// address has no path";
        return nullptr;
    }
    if (!SwP08Protocol::configure(address.params, settings, error)) return nullptr;
    return std::make_unique<SwP08Protocol>(settings);
}

// Decimal digits only, in 1..65535.
bool portNumber(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

}  // namespace

std::string RouterAddress::text() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    return scheme + "://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

RouterFactory RouterFactory::builtIn() {
    RouterFactory factory;
    factory.add(
        Scheme{"videohub", VideohubProtocol::defaultPort, makeVideohub, "videohub://HOST[:PORT]"});
    factory.add(Scheme{"swp08", 0, makeSwP08,
                       "swp08://HOST:PORT[?matrix=M&level=L&names=N&sources=S&destinations=D]"});
    factory.add(
        Scheme{"ember", EmberProtocol::defaultPort, makeEmber, "ember://HOST[:PORT]/MATRIX"});
    return factory;
}

std::string RouterFactory::usage() const {
    std::string text;
    for (const Scheme& scheme : schemes_) text += (text.empty() ? "" : " or ") + scheme.usage;
    return text;
}

const RouterFactory::Scheme* RouterFactory::find(const std::string& name) const {
    for (const Scheme& scheme : schemes_) {
        if (scheme.name == name) return &scheme;
    }
    return nullptr;
}

bool RouterFactory::parse(const std::string& text, RouterAddress& address,
                          std::string& error) const {
    error = "not " + usage();
    const size_t separator = text.find("://");
    if (separator == std::string::npos) return false;
    const Scheme* scheme = find(text.substr(0, separator));
    if (scheme == nullptr) return false;
    RouterAddress parsed;
    parsed.scheme = scheme->name;
    std::string rest = text.substr(separator + 3);
    const size_t question = rest.find('?');
    if (question != std::string::npos) {
        const std::string query = rest.substr(question + 1);
        rest.erase(question);
        for (size_t at = 0; at <= query.size();) {
            const size_t end = std::min(query.find('&', at), query.size());
            const std::string pair = query.substr(at, end - at);
            const size_t equals = pair.find('=');
            if (pair.empty() || equals == 0) return false;
            parsed.params.emplace_back(pair.substr(0, equals),
                                       equals == std::string::npos ? "" : pair.substr(equals + 1));
            at = end + 1;
        }
    }
    const size_t slash = rest.find('/', rest.empty() || rest[0] != '[' ? 0 : rest.find(']'));
    if (slash != std::string::npos) {
        parsed.path = rest.substr(slash + 1);
        rest.erase(slash);
    }
    std::string port;
    bool portGiven = false;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos) return false;
        parsed.host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') return false;
            port = rest.substr(close + 2);
            portGiven = true;
        }
    } else {
        const size_t colon = rest.find(':');
        parsed.host = rest.substr(0, colon);
        if (colon != std::string::npos) {
            port = rest.substr(colon + 1);
            portGiven = true;
        }
    }
    if (parsed.host.empty() || parsed.host.find_first_of("/@?# ") != std::string::npos)
        return false;
    parsed.port = scheme->defaultPort;
    if (portGiven ? !portNumber(port, parsed.port) : parsed.port == 0) return false;
    address = std::move(parsed);
    error.clear();
    return true;
}

std::unique_ptr<Router> RouterFactory::router(int device, const RouterAddress& address,
                                              const Settings& settings, std::string& error,
                                              std::unique_ptr<RouterStream> stream) const {
    const Scheme* scheme = find(address.scheme);
    if (scheme == nullptr) {
        error = "no router speaks " + address.scheme + "://";
        return nullptr;
    }
#if defined(ZANT_ROUTERS_LINK)
    std::unique_ptr<RouterProtocol> protocol = scheme->make(address, error);
    if (protocol == nullptr) return nullptr;
    if (stream == nullptr) stream = std::make_unique<TcpRouterStream>();
    NetworkRouter::Settings routerSettings;
    routerSettings.deadlineMs = settings.deadlineMs;
    routerSettings.clock = settings.clock;
    routerSettings.timing = settings.timing;
    return std::make_unique<NetworkRouter>(device, address.text(), address.host, address.port,
                                           std::move(protocol), std::move(stream), routerSettings);
#else
    (void)device;
    (void)settings;
    (void)stream;
    error = "this build has no link to routers on the network (its toolchain has no threads)";
    return nullptr;
#endif
}

}  // namespace zant::routers
