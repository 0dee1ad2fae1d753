// The state of a small Ember+ provider, without I/O, for the in-tree peer
// that tests and benchmarks drive a matrix client against: bytes from a
// consumer in, bytes for each consumer out. The tree:
//
//   1 router (node)
//     1.1 video (matrix, one-to-N, linear: targets and sources 0..N-1)
//     1.2 labels (node, the matrix's first label set)
//       1.2.1 targets: one string parameter per target, numbered as it
//       1.2.2 sources: the same for sources
//
// It answers getDirectory on each of these paths (nested or qualified), and a
// getDirectory or subscribe on the matrix or a label node subscribes the
// consumer to its changes. A connection request (absolute, one source) is
// answered to its asker with the connection as it now is: modified, locked
// (the target's current state, unchanged) or, with `pendingFirst`, pending
// until settle(); every other subscribed consumer gets the change as a tally.
// Keep-alive requests are answered. Requests it cannot honour are problems,
// and no answer, as a provider in the field would give none.
//
// Not thread-safe: the program around it serialises every call.
#ifndef PEERS_EMBER_EMBER_PROVIDER_STATE_H
#define PEERS_EMBER_EMBER_PROVIDER_STATE_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "routers/GlowItem.h"
#include "routers/GlowWriter.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"

namespace zant::routers {

// Counts below 1 are taken as 1.
struct EmberProviderOptions {
    int targets = 16;
    int sources = 16;
    // Labels not given are "Target 1".., "Source 1"..; extra ones are ignored.
    std::vector<std::string> targetLabels;
    std::vector<std::string> sourceLabels;
    // The source of each target; not given: target i carries source i, or
    // source 0 where there is no source i.
    std::vector<int> routes;
    // The form of every element the provider sends.
    GlowWriter::Form form = GlowWriter::Form::qualified;
    // Connection requests are answered pending, and done at settle().
    bool pendingFirst = false;
    // BER bytes a packet carries: small values split answers into many.
    size_t packetData = S101Message::defaultPacketData;
};

class EmberProviderState {
public:
    using Path = std::vector<std::uint32_t>;
    static const Path routerPath;
    static const Path matrixPath;
    static const Path labelsPath;
    static const Path targetLabelsPath;
    static const Path sourceLabelsPath;
    static constexpr size_t maxProblems = 64;

    struct Send {
        int consumer;
        std::vector<std::uint8_t> bytes;  // whole S101 frames
    };
    using Sends = std::vector<Send>;

    explicit EmberProviderState(EmberProviderOptions options = {});

    // A new consumer's number (1, 2, ...), and its end.
    int connect();
    void disconnect(int consumer);
    // Bytes from a consumer, in pieces of any size: the answers to it and
    // the news for the others, in the order they are to be sent.
    Sends receive(int consumer, const std::uint8_t* data, size_t size);
    // The pending connections take effect and are reported.
    Sends settle();

    // Changes as on the provider's own panel, reported to subscribers; empty
    // for a target, source or index out of range. A route ignores locks.
    Sends route(int target, int source);
    Sends setLabel(bool target, int index, const std::string& label);
    // A locked target refuses connection requests.
    void setLocked(int target, bool locked);

    // -1 for a target out of range.
    int routeOf(int target) const;
    bool subscribed(int consumer, const Path& path) const;
    // Requests refused or not understood since the last call, oldest first.
    std::vector<std::string> takeProblems();

private:
    struct Consumer {
        S101Frame frames;
        S101Message messages;
        std::set<Path> subscriptions;
    };
    struct Pending {
        int consumer;
        int target;
        int source;
    };

    void handle(int consumer, const std::vector<std::uint8_t>& ber, Sends& sends);
    void command(int consumer, const GlowItem& item, Sends& sends);
    void connection(int consumer, const GlowItem::Connection& asked, Sends& sends);
    // Applies a route and reports it: `disposition` to `asker` (0: none) and
    // a tally to every other consumer subscribed to the matrix.
    void apply(int asker, int target, int source, Sends& sends);
    std::vector<GlowItem> directory(const Path& path) const;
    GlowItem matrixItem(bool withContents) const;
    GlowItem::Connection connectionOf(int target, std::int64_t disposition) const;
    void send(int consumer, const std::vector<GlowItem>& items, Sends& sends) const;
    void problem(std::string text);

    EmberProviderOptions options_;
    std::vector<std::string> targetLabels_;
    std::vector<std::string> sourceLabels_;
    std::vector<int> routes_;
    std::vector<bool> locked_;
    std::vector<Pending> pending_;
    std::map<int, Consumer> consumers_;
    int nextConsumer_ = 1;
    std::vector<std::string> problems_;
};

}  // namespace zant::routers

#endif  // PEERS_EMBER_EMBER_PROVIDER_STATE_H
