// The Videohub Ethernet protocol as one connection speaks it: blocks of text
// lines cut by VideohubReader, mapped onto router updates, and the request
// blocks a client sends. The router's indices count from 0, the updates'
// from 1.
//
// What it refuses (a line it cannot read, an index beyond the router's
// counts, a count beyond maxPorts, a label cut to maxLabel) is an `ignored`
// update, at most a few a block and then a count; blocks it does not know
// are ignored silently, as the protocol asks. Before the device block of a
// connection the counts are not known: indices below maxPorts are taken.
// The dump is complete once the device and routing blocks have come; a
// device that is not present, or a major version other than 2, is a fault.
// Requests are answered by ACK or NAK, the change following as a status
// block; one block is on the wire at a time (the link sees to it), so an
// answer belongs to the last block sent.
//
// Threads: the link's thread alone, as every RouterProtocol.
#ifndef ROUTERS_VIDEOHUB_PROTOCOL_H
#define ROUTERS_VIDEOHUB_PROTOCOL_H

#include <string>
#include <vector>

#include "routers/ProblemTally.h"
#include "routers/RouterProtocol.h"
#include "routers/VideohubReader.h"

namespace zant::routers {

class VideohubProtocol : public RouterProtocol {
public:
    static constexpr int defaultPort = 9990;
    static constexpr int portLimit = 4096;
    static constexpr size_t labelLimit = 255;

    void connected(std::string& send) override;
    void received(const char* data, size_t size, std::vector<RouterUpdate>& updates,
                  std::string& send) override;
    void tick(int64_t /*nowMs*/, std::string& /*send*/) override {}
    void route(int id, int destination, int source, std::string& send) override;
    void keepAlive(std::string& send) override;
    const char* keepAliveName() const override { return "PING"; }
    bool awaitingAnswer() const override { return awaiting_ != Awaiting::nothing; }
    bool answersWithAcknowledgement() const override { return true; }
    bool midMessage() const override { return reader_.midBlock(); }
    int maxPorts() const override { return portLimit; }
    size_t maxLabel() const override { return labelLimit; }

    // One block's updates, as received() gives them for its bytes.
    void apply(const VideohubBlock& block, std::vector<RouterUpdate>& updates);

private:
    enum class Awaiting { nothing, request, ping };

    void takePreamble(const VideohubBlock& block, std::vector<RouterUpdate>& updates);
    void takeDevice(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                    ProblemTally& problems);
    void takeLabels(const VideohubBlock& block, Side side, std::vector<RouterUpdate>& updates,
                    ProblemTally& problems);
    void takeLocks(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                   ProblemTally& problems);
    void takeRoutes(const VideohubBlock& block, std::vector<RouterUpdate>& updates,
                    ProblemTally& problems);
    void answer(bool acknowledged, std::vector<RouterUpdate>& updates);
    // The ports a side may have now: its count once known, else maxPorts.
    int inputLimit() const { return inputsKnown_ ? inputs_ : portLimit; }
    int outputLimit() const { return outputsKnown_ ? outputs_ : portLimit; }

    VideohubReader reader_;
    Awaiting awaiting_ = Awaiting::nothing;
    int request_ = 0;  // the id of the request on the wire
    int inputs_ = 0;
    int outputs_ = 0;
    // Since the connection began.
    bool inputsKnown_ = false;
    bool outputsKnown_ = false;
    bool routingKnown_ = false;
    bool dumpComplete_ = false;
};

}  // namespace zant::routers

#endif  // ROUTERS_VIDEOHUB_PROTOCOL_H
