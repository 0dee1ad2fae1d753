// The connection to one router of the Videohub Ethernet protocol, kept by a
// thread of its own so that the network never blocks the simulation: it
// connects (again, with backoff, after a loss), reads the router's blocks,
// keeps at most one request block on the wire until the router answers it
// with ACK or NAK, and sends "PING:" when the line has been quiet, so that a
// connection that died silently is found. The simulation thread asks for
// blocks to be sent and takes what happened as events.
#ifndef SIMULATOR_VIDEOHUB_LINK_H
#define SIMULATOR_VIDEOHUB_LINK_H

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hosting/VideohubReader.h"
#include "platform/TcpStream.h"

namespace zant::simulator {

class VideohubLink {
public:
    struct Timing {
        int connectMs = 2000;
        // Quiet this long, the link sends "PING:"; a request unanswered for
        // answerMs means the connection is lost.
        int quietMs = 1000;
        int answerMs = 3000;
        int firstBackoffMs = 250;
        int lastBackoffMs = 4000;
    };

    struct Event {
        enum class Kind {
            connected,  // a new connection: its status dump follows
            block,      // a status block of the router
            answer,     // the router's ACK (`acknowledged`) or NAK of `request`
            unsent,     // `request` was never answered: the connection went
            lost,       // the connection ended (or could not be made): `text`
            problem,    // the router sent something refused: `text`
        };
        Kind kind;
        zant::hosting::VideohubBlock block;
        std::string request;
        bool acknowledged = false;
        std::string text;
    };

    VideohubLink(std::string host, int port, Timing timing);
    ~VideohubLink();
    VideohubLink(const VideohubLink&) = delete;
    VideohubLink& operator=(const VideohubLink&) = delete;

    // Starts the thread, which connects at once.
    void start();
    // Sends a request block (it ends in its blank line) when the wire is
    // idle, or queues it behind the one on the wire. False, and nothing
    // queued, while there is no connection. Sending never waits for the
    // router: the socket always has room for one small block.
    bool send(const std::string& request);
    // What happened since the last call, oldest first.
    std::vector<Event> take();
    // Waits until an event is there to take, at most `timeout`.
    void waitForEvents(std::chrono::milliseconds timeout);
    bool connected() const;

    // "videohub://HOST:PORT"
    std::string address() const;

private:
    using Clock = std::chrono::steady_clock;

    void run();
    bool connect(std::string& error);
    // The next queued request, or a ping after a quiet spell; empty when
    // one is on the wire. False when the wire's request went unanswered.
    bool nextRequest(Clock::time_point now, std::string& request, std::string& error);
    void takeIn(const char* data, size_t size);
    // True (and the untaken events gone) when too many wait to be taken.
    bool discardedBacklog();
    void push(Event event);  // with the mutex held
    void dropConnection(const std::string& reason);
    // Sleeps `milliseconds`, less when the link is stopped meanwhile.
    void pause(int milliseconds);

    const std::string host_;
    const int port_;
    const Timing timing_;

    // Guards the state below but the reader; the stream's connect and close
    // are the link thread's, and a send from send() happens only while
    // connected_, never during a connect.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool connected_ = false;
    zant::platform::TcpStream stream_;
    std::deque<std::string> queue_;
    // The request on the wire; a ping is not reported when answered.
    std::string outstanding_;
    bool pingOutstanding_ = false;
    Clock::time_point sentAt_;
    Clock::time_point heardAt_;
    std::vector<Event> events_;
    zant::hosting::VideohubReader reader_;
    std::thread thread_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_VIDEOHUB_LINK_H
