// A request whose send fails while the link's thread is between its look at
// the stream and its reconnect: the request must be reported unsent and the
// connection lost before the next connection is made. The send's failure and
// the moment are forced through the linker (--wrap), so the interleaving is
// the same on every run.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/TcpListener.h"
#include "simulator/VideohubLink.h"

namespace {

std::mutex gate;
std::condition_variable moved;
// Armed, the next look at the stream from a thread other than the test's
// (the link's, at the top of its turn) waits there until released.
std::thread::id testThread;
bool holdNextLook = false;
bool held = false;
bool released = false;
bool failNextSend = false;

}  // namespace

extern "C" ssize_t __real_send(int socket, const void* data, size_t size, int flags);
extern "C" ssize_t __wrap_send(int socket, const void* data, size_t size, int flags) {
    {
        std::lock_guard<std::mutex> lock(gate);
        if (failNextSend) {
            failNextSend = false;
            errno = ECONNRESET;
            return -1;
        }
    }
    return __real_send(socket, data, size, flags);
}

// zant::platform::SocketHandle::open() const
extern "C" bool __real__ZNK4zant8platform12SocketHandle4openEv(const void* handle);
extern "C" bool __wrap__ZNK4zant8platform12SocketHandle4openEv(const void* handle) {
    const bool open = __real__ZNK4zant8platform12SocketHandle4openEv(handle);
    std::unique_lock<std::mutex> lock(gate);
    if (holdNextLook && std::this_thread::get_id() != testThread) {
        holdNextLook = false;
        held = true;
        moved.notify_all();
        moved.wait(lock, [] { return released; });
    }
    return open;
}

namespace zant::simulator {
namespace {

using Kind = VideohubLink::Event::Kind;

TEST(FailedSendRace, AFailedSendIsReportedBeforeTheNextConnection) {
    platform::TcpListener listener;
    std::string error;
    ASSERT_TRUE(listener.listen(0, error)) << error;
    VideohubLink::Timing timing;
    timing.quietMs = 60000;
    timing.firstBackoffMs = 1;
    VideohubLink link("127.0.0.1", listener.port(), timing);
    link.start();
    platform::TcpStream first = listener.accept(5000);
    ASSERT_TRUE(first.open());
    std::vector<VideohubLink::Event> events;
    for (int turn = 0; turn < 250 && events.empty(); ++turn) {
        link.waitForEvents(std::chrono::milliseconds(20));
        events = link.take();
    }
    ASSERT_EQ(events.size(), 1u);
    ASSERT_EQ(events[0].kind, Kind::connected);

    {
        std::unique_lock<std::mutex> lock(gate);
        testThread = std::this_thread::get_id();
        holdNextLook = true;
        ASSERT_TRUE(moved.wait_for(lock, std::chrono::seconds(5), [] { return held; }));
        failNextSend = true;
    }
    // The link's thread saw the stream open; the send fails and closes it.
    const std::string request = "VIDEO OUTPUT ROUTING:\n0 1\n\n";
    link.send(request);
    {
        std::lock_guard<std::mutex> lock(gate);
        released = true;
    }
    moved.notify_all();
    platform::TcpStream second = listener.accept(5000);
    ASSERT_TRUE(second.open());
    events.clear();
    bool connectedAgain = false;
    for (int turn = 0; turn < 100 && !connectedAgain; ++turn) {
        link.waitForEvents(std::chrono::milliseconds(20));
        for (VideohubLink::Event& event : link.take()) {
            connectedAgain = connectedAgain || event.kind == Kind::connected;
            events.push_back(std::move(event));
        }
    }
    ASSERT_TRUE(connectedAgain);
    std::vector<Kind> kinds;
    for (const VideohubLink::Event& event : events) kinds.push_back(event.kind);
    ASSERT_EQ(kinds, (std::vector<Kind>{Kind::unsent, Kind::lost, Kind::connected}));
    EXPECT_EQ(events[0].request, request);
}

}  // namespace
}  // namespace zant::simulator
