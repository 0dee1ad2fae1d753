// A host that checks the component's side of the host boundary on every call,
// whatever it answers:
//   - every command text is well-formed (hosting/CommandGrammar), passes the extra rule
//     a test may set, and, where a layout is given, addresses its controls (or
//     ids this host handed out in an "XI" reply);
//   - only modes 0 and 5 are used, and mode 0 never with a null text;
//   - nothing is sent after "AS";
//   - no command carries bytes of a freed block (FreedMemory): a handed-back
//     reply is poisoned on release;
//   - a release (mode 5) hands back a reply that is outstanding: never a
//     pointer the host did not give, never one twice, never the reply of a
//     command other than "TG", "SD", "XI" and "RN";
//   - those replies come back before the notification that asked for them
//     returns (`mustComeBack()`, which the driver checks).
// Violations are collected, not thrown, so the same host serves GoogleTest,
// the fuzz targets and zant_validate. Memory stays bounded over any number of
// calls.
#ifndef VALIDATOR_CHECKING_HOST_H
#define VALIDATOR_CHECKING_HOST_H

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/zant_host.h"
#include "hosting/CommandGrammar.h"
#include "hosting/ReplyLedger.h"
#include "validator/Violation.h"

namespace zant::validate {

class CheckingHost : public zant_host {
public:
    // Empty when a well-formed command also keeps a component's own rules.
    using CommandRule = std::function<std::string(const zant::hosting::ParsedCommand& command)>;

    CheckingHost();
    ~CheckingHost() override = default;
    CheckingHost(const CheckingHost&) = delete;
    CheckingHost& operator=(const CheckingHost&) = delete;

    char* execute(const char* text, int mode) override;

    // What the host answers to `command`; std::nullopt answers null.
    virtual std::optional<std::string> replyTo(const std::string& command);

    void setCommandRule(CommandRule rule) { rule_ = std::move(rule); }
    // Commands may then name only these controls.
    void setLayoutControls(std::set<std::string> controls) { layout_ = std::move(controls); }
    // A command carrying a run of the freed-block poison (FreedMemory) is a
    // use after free: only where every byte the component can be given is
    // free of that run (the validator's replies), never where a fuzzer or a
    // test hands it arbitrary bytes.
    void setFreedBytesChecked(bool checked) { freedBytesChecked_ = checked; }

    // Every violation's text, in order.
    std::vector<std::string> violations() const;
    const std::vector<Violation>& allViolations() const { return violations_; }
    // Replies of "TG", "SD", "XI" and "RN" handed out and not yet back.
    int mustComeBack() const { return static_cast<int>(ledger_.mustComeBack()); }
    // Heap the host's replies and their bookkeeping hold (HeapMeter), so a
    // leak check can tell the component's growth from the host's.
    long long heldBytes() const { return heldBytes_; }
    long long commandCount() const { return commandCount_; }
    long long releaseCount() const { return releaseCount_; }
    long long nullReleaseCount() const { return nullReleaseCount_; }
    // Commands sent with this mnemonic.
    long long sent(const std::string& mnemonic) const;
    // The last command texts sent, oldest first (at most `historySize`).
    const std::deque<std::string>& recent() const { return recent_; }
    void forgetRecent() { recent_.clear(); }

    static constexpr size_t historySize = 64;

protected:
    // Called for every command text, before it is answered.
    virtual void onCommand(const std::string& /*command*/) {}

private:
    void violation(Rule rule, const std::string& what);
    void release(const char* text);
    void checkCommand(const std::string& command);
    void rememberIds(const std::string& mnemonic, const std::string& reply);

    // Replies by mnemonic; released ones are kept for a while, poisoned, so
    // that a second release is told apart from a new reply at the same address.
    zant::hosting::ReplyLedger ledger_;
    std::deque<std::string> recent_;
    std::unordered_map<std::string, long long> sentByMnemonic_;
    std::vector<Violation> violations_;
    CommandRule rule_;
    std::optional<std::set<std::string>> layout_;
    bool freedBytesChecked_ = false;
    std::set<std::string> idsGiven_;
    bool detached_ = false;
    long long heldBytes_ = 0;
    long long commandCount_ = 0;
    long long releaseCount_ = 0;
    long long nullReleaseCount_ = 0;
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHECKING_HOST_H
