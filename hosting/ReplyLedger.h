// The replies a host hands out through `execute` and their hand-back: each
// reply is a fresh NUL-terminated copy; the component hands back the replies
// that the command grammar marks as coming back exactly once with mode 5, and
// never those of other commands. Every host of ours keeps one and reports
// what it finds in its own words.
//
// A handed-back buffer stays allocated for a while (`keptReleased` of the
// latest), so that its address cannot be reused meanwhile and a second
// release of it is recognised as such.
#ifndef HOSTING_REPLY_LEDGER_H
#define HOSTING_REPLY_LEDGER_H

#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace zant::hosting {

class ReplyLedger {
public:
    static constexpr size_t keepEveryRelease = static_cast<size_t>(-1);

    explicit ReplyLedger(size_t keptReleased = keepEveryRelease);
    ~ReplyLedger();
    ReplyLedger(const ReplyLedger&) = delete;
    ReplyLedger& operator=(const ReplyLedger&) = delete;

    // A new reply buffer holding `text`, issued for `command` (a whole command
    // text or its mnemonic: the ledger gives back what it was given).
    char* issue(const std::string& command, const std::string& text);

    enum class Outcome {
        ok,
        nullReply,      // null, which a host accepts and ignores
        notHandedBack,  // the reply of a command whose reply never comes back
        twice,          // a reply already handed back
        unknown,        // no reply of this ledger
    };
    struct Release {
        Outcome outcome;
        // The command it answered, and its text's length without the NUL;
        // known for ok, notHandedBack and a recent twice.
        std::string command;
        size_t length;
    };
    // Takes back `reply`. After ok and notHandedBack its buffer is still
    // allocated until later releases push it out.
    Release release(const char* reply);

    // The commands of the replies that must come back and have not, in the
    // order they were issued.
    std::vector<std::string> outstanding() const;
    size_t mustComeBack() const { return mustComeBack_; }
    // outstanding(), after which the ledger forgets those replies.
    std::vector<std::string> takeOutstanding();

private:
    struct Entry {
        std::string command;
        size_t length;
        unsigned long order;
        bool released;
    };
    std::vector<const char*> outstandingInOrder() const;

    size_t keptReleased_;
    unsigned long issued_ = 0;
    size_t mustComeBack_ = 0;
    std::unordered_map<const char*, Entry> entries_;
    // Handed-back buffers still allocated, oldest first.
    std::deque<const char*> released_;
};

}  // namespace zant::hosting

#endif  // HOSTING_REPLY_LEDGER_H
