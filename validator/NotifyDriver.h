// Drives a component through `notify` only, as a host does, and checks the
// component's side of every notification:
//   - kinds other than 3 answer null;
//   - a kind-3 reply is a non-empty text, NUL-terminated inside its
//     allocation where the allocator can tell (`inspectReplies`), handed back with
//     kind 5 (at once, or after the next notifications when `holdReplies` is
//     set) and counted, so none is lost;
//   - with a CheckingHost, every reply that must come back has come back when
//     the notification returns.
// Records are built fresh for each call and go out of scope when it returns,
// as the host's do.
#ifndef VALIDATOR_NOTIFY_DRIVER_H
#define VALIDATOR_NOTIFY_DRIVER_H

#include <deque>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "validator/CheckingHost.h"
#include "validator/Violation.h"

namespace zant::validate {

class NotifyDriver {
public:
    // `host` may be null (a component without a host), or a host that is not
    // a CheckingHost; then only the component's own results are checked.
    NotifyDriver(zant_client_callback* component, CheckingHost* host)
        : component_(component), host_(host) {}
    // Hands back the replies still held.
    ~NotifyDriver();
    NotifyDriver(const NotifyDriver&) = delete;
    NotifyDriver& operator=(const NotifyDriver&) = delete;

    void revertive(int device, int index, int value);
    // `panel`, `id` and `text` may be null; a null `text` sends no message record.
    void press(const char* panel, const char* id, const char* text = nullptr);
    // The reply, "" for none.
    std::string message(const char* text);
    void tick(int timer);
    // Kinds 6, 7 and those outside 1 to 7: a data word that must not be read.
    void word(int kind, long value);

    // Hold up to this many kind-3 replies before handing the oldest back.
    void holdReplies(size_t count) { held_ = count; }
    void releaseAll();

    // Checks that every kind-3 reply ends inside the block it was allocated
    // in and that kind 5 frees it (where HeapMeter is exact); only for
    // components whose replies come from this process's malloc.
    void inspectReplies(bool inspect) { inspect_ = inspect; }
    // Bytes of kind-3 replies that kind 5 did not free.
    long long unfreedReplyBytes() const { return unfreedBytes_; }

    long long repliesGiven() const { return repliesGiven_; }
    long long repliesReleased() const { return repliesReleased_; }
    // Every violation's text, in order.
    std::vector<std::string> violations() const;
    const std::vector<Violation>& allViolations() const { return violations_; }

private:
    char* notify(void* data, int kind);
    void violation(Rule rule, const std::string& what);
    bool terminatedInside(const char* reply) const;
    void handBack(char* reply);

    zant_client_callback* component_;
    CheckingHost* host_;
    std::deque<char*> replies_;
    size_t held_ = 0;
    bool inspect_ = false;
    long long repliesGiven_ = 0;
    long long repliesReleased_ = 0;
    long long unfreedBytes_ = 0;
    std::vector<Violation> violations_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_NOTIFY_DRIVER_H
