// Plays a list of steps on a fresh component: creates it through the export,
// sends each step through a NotifyDriver against a ValidatorHost, destroys
// it, and stops at the first violation of a rule the caller asked for. It
// marks its progress on a ProgressBoard, so a crash or a hang can be placed.
#ifndef VALIDATOR_PLAYER_H
#define VALIDATOR_PLAYER_H

#include <set>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "validator/NotifyDriver.h"
#include "validator/ProgressBoard.h"
#include "validator/Step.h"
#include "validator/ValidatorHost.h"
#include "validator/Violation.h"

namespace zant::validate {

struct PlayConfig {
    Replies replies = Replies::plausible;
    // The path given to the export, where the component finds its layouts.
    std::string componentPath;
    bool nullHost = false;
    // Commands must address these controls; none when empty.
    std::set<std::string> layout;
    // Rules that fail the run while the component is created or destroyed,
    // and while it is notified.
    std::set<Rule> lifecycleRules;
    std::set<Rule> notifyRules;
    bool inspectReplies = false;
    // With Rule::threw among the rules, the debugger output is captured and
    // also passed on when this is set.
    bool echoDebugOutput = false;
    // Time every notification (microseconds, by kind 1 to 7).
    bool timed = false;
    // Indices of the steps after which the component's heap use is taken.
    std::vector<size_t> heapMarks;
};

struct PlayResult {
    bool failed = false;
    // The step at fault: an index into the steps played, or one of
    // ProgressBoard::construction and ProgressBoard::destruction.
    long step = 0;
    std::string what;
    // Host bookkeeping and component growth, for the heap check.
    long long unfreedReplyBytes = 0;
    long long hostBytes = 0;
    // At each heap mark: heap in use, less the host's replies and the
    // kind-3 replies that kind 5 did not free.
    std::vector<long long> heap;
    std::vector<std::vector<double>> micros;
};

class Player {
public:
    Player(zant_load_function entry, PlayConfig config, ProgressBoard& board)
        : entry_(entry), config_(std::move(config)), board_(board) {}

    // `only`, when given, lists the indices of the steps to play, in order.
    PlayResult play(const std::vector<Step>& steps, const std::vector<size_t>* only = nullptr);

private:
    void send(NotifyDriver& driver, const Step& step, PlayResult& result) const;

    zant_load_function entry_;
    PlayConfig config_;
    ProgressBoard& board_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_PLAYER_H
