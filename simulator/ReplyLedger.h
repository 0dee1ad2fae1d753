// The replies the host hands out through `execute` and their hand-back.
//
// Each reply is a fresh NUL-terminated copy. The component must hand back the
// replies that zant_reply_handed_back names exactly once with mode 5 and never
// those of other commands ("PS"). A handed-back buffer is kept, not freed,
// until the ledger goes, so that its address cannot be reused and a second
// release of it is recognised as such.
#ifndef SIMULATOR_REPLY_LEDGER_H
#define SIMULATOR_REPLY_LEDGER_H

#include <map>
#include <string>
#include <vector>

class ReplyLedger {
public:
    ReplyLedger() = default;
    ~ReplyLedger();
    ReplyLedger(const ReplyLedger&) = delete;
    ReplyLedger& operator=(const ReplyLedger&) = delete;

    // A new reply buffer holding `text`, issued for `command`.
    char* issue(const std::string& command, const std::string& text);

    enum class Release { ok, nullReply, twice, unknown };
    // Takes back a reply; `command` receives the command it answered when
    // known.
    Release release(const char* reply, std::string& command);

    // The commands of the replies that had to come back and did not.
    std::vector<std::string> outstanding() const;

private:
    struct Entry {
        std::string command;
        bool released;
        unsigned long order;
    };
    unsigned long issued_ = 0;
    std::map<const char*, Entry> entries_;
};

#endif  // SIMULATOR_REPLY_LEDGER_H
