// One connection's conversation with a router, without I/O either way: the
// link hands it the bytes that came and the moments that passed, and sends
// the bytes it gives back. It never touches a socket or a clock, so a
// protocol is tested by feeding it bytes, whole or one at a time.
//
// Threads: the link's thread alone calls it, once the link started.
#ifndef ROUTERS_ROUTER_PROTOCOL_H
#define ROUTERS_ROUTER_PROTOCOL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "routers/RouterUpdate.h"

namespace zant::routers {

class RouterProtocol {
public:
    virtual ~RouterProtocol() = default;

    // A new connection: what was half read is forgotten; `send` gets the
    // bytes that open the conversation (empty when the router speaks first).
    virtual void connected(std::string& send) = 0;
    // Bytes from the router: the updates they complete, and the bytes to
    // send at once (an acknowledgement, the next request of a walk).
    virtual void received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                          std::string& send) = 0;
    // The clock moved on to `nowMs` (any origin, never backwards): the bytes
    // due by then (a resend, the next step of a greeting).
    virtual void tick(int64_t nowMs, std::string& send) = 0;
    // Asks that `destination` carry `source` (indices from 1); the answer
    // comes as an update with the same `id`.
    virtual void route(int id, int destination, int source, std::string& send) = 0;
    // Bytes that make a quiet router answer (a ping), so that a connection
    // that died silently is found; empty when the protocol has none.
    virtual void keepAlive(std::string& send) = 0;
    // What the keep-alive is called, for the line that says it went
    // unanswered ("PING").
    virtual const char* keepAliveName() const = 0;
    // A route request, or a keep-alive, is waiting for the router's answer.
    virtual bool awaitingAnswer() const = 0;
    // Whether the router answers a request with an acknowledgement, the new
    // state following apart; false when the new state is the answer.
    virtual bool answersWithAcknowledgement() const = 0;
    // The bytes taken in end inside a message: a connection that ends now
    // ends in the middle of one.
    virtual bool midMessage() const = 0;
    // What the protocol's numbers may reach: the picture holds no more.
    virtual int maxPorts() const = 0;
    virtual size_t maxLabel() const = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_ROUTER_PROTOCOL_H
