// A host that checks the component's side of the host boundary on every call,
// whatever it answers:
//   - every command text is well-formed (CommandShape);
//   - only modes 0 and 5 are used, and mode 0 never with a null text;
//   - a release (mode 5) hands back a reply that is outstanding: never a
//     pointer the host did not give, never one twice, never the reply of "PS";
//   - the replies of "TG", "SD", "XI" and "RN" come back before the
//     notification that asked for them returns (`mustComeBack()`).
// Violations are collected, not thrown, so the same host serves GoogleTest
// and the fuzz targets. Memory stays bounded over any number of calls.
#ifndef TESTS_RELIABILITY_CHECKING_HOST_H
#define TESTS_RELIABILITY_CHECKING_HOST_H

#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/zant_host.h"

class CheckingHost : public zant_host {
public:
    CheckingHost() = default;
    ~CheckingHost() override;
    CheckingHost(const CheckingHost&) = delete;
    CheckingHost& operator=(const CheckingHost&) = delete;

    char* execute(const char* text, int mode) override;

    // What the host answers to `command`; std::nullopt answers null.
    virtual std::optional<std::string> replyTo(const std::string& command);

    const std::vector<std::string>& violations() const { return violations_; }
    // Replies of "TG", "SD", "XI" and "RN" handed out and not yet back.
    int mustComeBack() const;
    long long commandCount() const { return commandCount_; }
    long long releaseCount() const { return releaseCount_; }
    long long nullReleaseCount() const { return nullReleaseCount_; }
    // Commands sent with this mnemonic.
    long long sent(const std::string& mnemonic) const;
    // The last command texts sent, oldest first (at most `historySize`).
    const std::deque<std::string>& recent() const { return recent_; }
    void forgetRecent() { recent_.clear(); }

    static constexpr size_t historySize = 64;

private:
    struct Reply {
        std::string mnemonic;
    };
    void violation(const std::string& what);
    void release(const char* text);

    std::unordered_map<const char*, Reply> outstanding_;
    // Released replies are kept for a while before they are freed, so that a
    // second release of the same pointer is told apart from a new reply that
    // happens to reuse its address.
    std::deque<char*> quarantine_;
    std::deque<std::string> recent_;
    std::unordered_map<std::string, long long> sentByMnemonic_;
    std::vector<std::string> violations_;
    long long commandCount_ = 0;
    long long releaseCount_ = 0;
    long long nullReleaseCount_ = 0;
};

#endif  // TESTS_RELIABILITY_CHECKING_HOST_H
