// What a client knows of one router of the text protocol, built from its
// status dump and kept up to date from its change blocks: its sizes, input
// and output labels, output locks and routing. Indices are the protocol's
// (0-based). Nothing the router sends can make it hold more than maxPorts
// ports a side or a label longer than maxLabel, or an index beyond the
// router's counts; lines that break those rules, or that it does not
// understand, are skipped (a problem is reported for each kind the protocol
// does not tell a client to ignore silently), and blocks it does not know are
// ignored, as the protocol asks.
//
// A label is "INDEX LABEL", the label running to the end of the line; "INDEX"
// alone, or followed by one space, is an empty label. A longer label than
// maxLabel is cut to it (at a UTF-8 character boundary), a problem. Before
// the device block of a connection the sizes are not known: indices below
// maxPorts are taken, and the device block then drops what lies beyond its
// counts (routes from inputs beyond them included).
#ifndef HOSTING_VIDEOHUB_PICTURE_H
#define HOSTING_VIDEOHUB_PICTURE_H

#include <string>
#include <vector>

#include "hosting/ProblemTally.h"
#include "hosting/VideohubReader.h"

namespace zant::hosting {

class VideohubPicture {
public:
    static constexpr int maxPorts = 4096;
    static constexpr size_t maxLabel = 255;

    enum class Lock : char { unlocked = 'U', ours = 'O', theirs = 'L' };
    enum class Reply { none, ack, nak };

    // One routing line taken in: `output` now carries `input`; `changed` when
    // the picture held another input (or none) for it before.
    struct RouteReport {
        int output;
        int input;
        bool changed;
    };
    // What one block did to the picture.
    struct Applied {
        Reply reply = Reply::none;        // the block was "ACK" or "NAK"
        std::vector<RouteReport> routes;  // in the block's order
        bool labelsChanged = false;
        bool locksChanged = false;
        // Inputs or outputs changed from the sizes an earlier device block
        // gave (not when they are given the first time).
        bool sizesChanged = false;
        bool deviceChanged = false;         // the device block arrived
        std::vector<std::string> problems;  // one sentence each
    };

    Applied apply(const VideohubBlock& block);
    // Before a new connection's dump: the sizes, labels, locks and routes are
    // kept (so the dump can tell what changed meanwhile) but count as not yet
    // reported until the new dump brings them.
    void startAgain();

    // "2.8"; empty before the preamble. A major version other than 2 is not
    // understood: versionUnderstood() is then false (the picture still reads
    // what it can); it is true before any version arrived.
    const std::string& version() const;
    bool versionUnderstood() const;
    // "true", "false", "needs_update"; empty before the device block.
    const std::string& devicePresent() const;
    const std::string& modelName() const;
    const std::string& friendlyName() const;  // may be empty

    // The sizes from the device block; 0 before it.
    int inputs() const;
    int outputs() const;
    // The device block and a routing block arrived since the connection
    // began (startAgain): the dump has brought sizes and routes.
    bool sizesKnown() const;
    bool routingKnown() const;

    // Null when the router gave no label for that index.
    const std::string* inputLabel(int input) const;
    const std::string* outputLabel(int output) const;
    // -1 when the router has not reported the output's route.
    int route(int output) const;
    // Lock::unlocked when the router has not reported the output's lock.
    Lock lock(int output) const;

    // The request blocks a client sends, each ending in its blank line.
    static std::string routeRequest(int output, int input);  // "VIDEO OUTPUT ROUTING:\n7 2\n\n"
    static std::string pingRequest();                        // "PING:\n\n"

private:
    struct Port {
        std::string label;
        bool labelled = false;
        int route = -1;  // of an output
        Lock lock = Lock::unlocked;
    };

    void takePreamble(const VideohubBlock& block);
    void takeDevice(const VideohubBlock& block, Applied& applied, ProblemTally& problems);
    void takeLabels(const VideohubBlock& block, bool inputSide, Applied& applied,
                    ProblemTally& problems);
    void takeLocks(const VideohubBlock& block, Applied& applied, ProblemTally& problems);
    void takeRoutes(const VideohubBlock& block, Applied& applied, ProblemTally& problems);
    void setInputs(int count, Applied& applied);
    void setOutputs(int count, Applied& applied);
    // The ports a side may have now: its count once known, else maxPorts.
    int inputLimit() const { return inputsKnown_ ? inputs_ : maxPorts; }
    int outputLimit() const { return outputsKnown_ ? outputs_ : maxPorts; }

    std::string version_;
    bool versionUnderstood_ = true;
    std::string devicePresent_;
    std::string modelName_;
    std::string friendlyName_;
    int inputs_ = 0;
    int outputs_ = 0;
    // A device block ever gave the count (sizesChanged compares with it).
    bool inputsGiven_ = false;
    bool outputsGiven_ = false;
    // Since startAgain.
    bool inputsKnown_ = false;
    bool outputsKnown_ = false;
    bool routingKnown_ = false;
    // Once a side's count is known, exactly that many.
    std::vector<Port> inputPorts_;
    std::vector<Port> outputPorts_;
};

}  // namespace zant::hosting

#endif  // HOSTING_VIDEOHUB_PICTURE_H
