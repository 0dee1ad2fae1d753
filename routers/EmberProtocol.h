// An Ember+ matrix as one consumer connection drives it: S101 frames and
// messages around Glow, mapped onto router updates. The matrix is named by
// its path, each step a number or an identifier ("router.video", "1.1").
//
// The start walks the tree with getDirectory from the root to the matrix,
// asks the matrix for its contents and connections (which also subscribes
// to its later changes) and the first label set's target and source nodes
// for the names. The sizes are the matrix's counts, or for a non-linear
// matrix the lengths of its target and source lists: our indices 1..N are
// the listed numbers in order, linear ones the numbers 0..N-1. The dump is
// complete once the sizes came and each label node answered.
//
// A route sends the matrix with one absolute connection; the provider's
// report of that target answers it (no acknowledgement exists): modified or
// tally is done, pending is taken for later, locked is refused. Connections
// reported unasked are routes. One request or keep-alive is on the wire at a
// time (the link sees to it); keep-alive requests are answered at once.
// Elements, fields and numbers it does not know are skipped; a message that
// is not sound BER changes nothing.
//
// Threads: the link's thread alone, as every RouterProtocol.
#ifndef ROUTERS_EMBER_PROTOCOL_H
#define ROUTERS_EMBER_PROTOCOL_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "routers/GlowItem.h"
#include "routers/GlowWriter.h"
#include "routers/ProblemTally.h"
#include "routers/RouterProtocol.h"
#include "routers/S101Frame.h"
#include "routers/S101Message.h"

namespace zant::routers {

class EmberProtocol : public RouterProtocol {
public:
    static constexpr int defaultPort = 9000;
    static constexpr int portLimit = 16384;
    static constexpr size_t labelLimit = 255;

    // `matrix`: the steps of the matrix's path, each a number or an
    // identifier. Any thread, before the link starts.
    explicit EmberProtocol(std::vector<std::string> matrix);
    // The steps of "router.video" or "1.1"; false when a step is empty.
    // Any thread.
    static bool parsePath(const std::string& text, std::vector<std::string>& steps);

    void connected(std::string& send) override;
    void received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                  std::string& send) override;
    void tick(int64_t /*nowMs*/, std::string& /*send*/) override {}
    void route(int id, int destination, int source, std::string& send) override;
    void keepAlive(std::string& send) override;
    const char* keepAliveName() const override { return "keep-alive"; }
    bool awaitingAnswer() const override { return awaiting_ != Awaiting::nothing; }
    bool answersWithAcknowledgement() const override { return false; }
    bool midMessage() const override { return frames_.midFrame() || messages_.midMessage(); }
    int maxPorts() const override { return portLimit; }
    size_t maxLabel() const override { return labelLimit; }

    // One whole message's BER data, as received() gives it.
    void apply(const std::vector<std::uint8_t>& ber, std::vector<RouterUpdate>& updates,
               std::string& send);

private:
    using Path = std::vector<std::uint32_t>;
    // Every element it sends is nested from the root, the form every
    // provider reads.
    static constexpr GlowWriter::Form form = GlowWriter::Form::nested;
    enum class Awaiting { nothing, request, keepAlive };
    // Walking the tree to the matrix, then at the matrix.
    enum class Stage { walking, matrix };

    void walk(const std::vector<GlowItem>& items, std::vector<RouterUpdate>& updates,
              std::string& send);
    void takeMatrix(const GlowItem& item, std::vector<RouterUpdate>& updates, std::string& send,
                    ProblemTally& problems);
    void takeConnection(const GlowItem::Connection& connection, std::vector<RouterUpdate>& updates,
                        ProblemTally& problems);
    void takeLabel(const GlowItem& item, std::vector<RouterUpdate>& updates,
                   ProblemTally& problems);
    void sendSizes(std::vector<RouterUpdate>& updates);
    void completeDump(std::vector<RouterUpdate>& updates);
    // Our index (from 1) of a target or source number; 0: none.
    int indexOf(Side side, std::uint32_t number) const;
    std::string where() const;

    const std::vector<std::string> steps_;
    S101Frame frames_;
    S101Message messages_;
    ProblemTally dropped_;  // what framing dropped since the last frame ended
    Stage stage_ = Stage::walking;
    Path reached_;  // the path walked so far
    Path matrixPath_;
    Path targetLabels_;  // empty: no label set (yet)
    Path sourceLabels_;
    bool targetLabelsHeard_ = false;
    bool sourceLabelsHeard_ = false;
    bool sized_ = false;
    bool dumpComplete_ = false;
    bool typeSaid_ = false;

    std::int64_t type_ = GlowItem::oneToN;
    std::int64_t addressing_ = GlowItem::linear;
    int targetCount_ = -1;  // -1: not known yet
    int sourceCount_ = -1;
    // A non-linear matrix's numbers, our index - 1 to each.
    std::vector<std::uint32_t> targetNumbers_;
    std::vector<std::uint32_t> sourceNumbers_;
    std::map<std::uint32_t, int> targetIndex_;
    std::map<std::uint32_t, int> sourceIndex_;

    Awaiting awaiting_ = Awaiting::nothing;
    int request_ = 0;  // the id of the route on the wire
    std::uint32_t requestTarget_ = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_EMBER_PROTOCOL_H
