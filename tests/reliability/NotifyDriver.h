// Drives a component through `notify` only, as a host does, and checks the
// component's side of every notification:
//   - kinds other than 3 answer null;
//   - a kind-3 reply is a non-empty NUL-terminated text, handed back with
//     kind 5 (at once, or after the next notifications when `holdReplies` is
//     set) and counted, so none is lost;
//   - with a CheckingHost, every reply that must come back has come back when
//     the notification returns.
// Records are built fresh for each call and go out of scope when it returns,
// as the host's do.
#ifndef TESTS_RELIABILITY_NOTIFY_DRIVER_H
#define TESTS_RELIABILITY_NOTIFY_DRIVER_H

#include <deque>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "tests/reliability/CheckingHost.h"

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

    long long repliesGiven() const { return repliesGiven_; }
    long long repliesReleased() const { return repliesReleased_; }
    const std::vector<std::string>& violations() const { return violations_; }

private:
    char* notify(void* data, int kind);
    void violation(const std::string& what);

    zant_client_callback* component_;
    CheckingHost* host_;
    std::deque<char*> replies_;
    size_t held_ = 0;
    long long repliesGiven_ = 0;
    long long repliesReleased_ = 0;
    std::vector<std::string> violations_;
};

#endif  // TESTS_RELIABILITY_NOTIFY_DRIVER_H
