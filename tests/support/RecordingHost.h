// A host for tests: records every `execute` call in order, answers commands
// from a script, and checks the reply hand-back rules of the host boundary.
//
// Replies are allocated per call and freed by a release (mode 5). The test
// fails (ADD_FAILURE) when a reply of "TG", "SD", "XI" or "RN" is not handed
// back exactly once, when a reply of "PS" is handed back, or when a pointer
// that is no outstanding reply is released. Pending checks run in `verify()`
// and in the destructor.
#ifndef TESTS_RECORDING_HOST_H
#define TESTS_RECORDING_HOST_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "hosting/ReplyLedger.h"

class RecordingHost : public zant_host {
public:
    struct Call {
        std::string text;  // the command, or for a release the reply released
        int mode;
        bool null;  // a release of null
    };

    // Released replies stay allocated this long, so that the text of one just
    // handed back can still be recorded.
    static constexpr size_t keptReleased = 8;

    RecordingHost() = default;
    ~RecordingHost() override;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    char* execute(const char* text, int mode) override;

    // Replies: an exact command text first, then the longest matching prefix.
    // std::nullopt answers null (the default for every command).
    void answer(const std::string& command, std::optional<std::string> reply);
    void answerPrefix(const std::string& prefix, std::optional<std::string> reply);

    // Every call in order, releases included.
    const std::vector<Call>& calls() const { return calls_; }
    // The texts of the mode-0 calls, in order.
    std::vector<std::string> commands() const;
    // Forgets the calls recorded so far (replies still outstanding stay).
    void clear() { calls_.clear(); }
    // Number of releases of null.
    int nullReleases() const;

    // Fails the test for every reply that must have come back and has not.
    void verify();

private:
    std::optional<std::string> replyFor(const std::string& command) const;

    std::map<std::string, std::optional<std::string>> exact_;
    std::map<std::string, std::optional<std::string>> prefixes_;
    // Replies by mnemonic.
    zant::hosting::ReplyLedger ledger_{keptReleased};
    std::vector<Call> calls_;
};

#endif  // TESTS_RECORDING_HOST_H
