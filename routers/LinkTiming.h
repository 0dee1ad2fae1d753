// The times a router link keeps, in milliseconds.
#ifndef ROUTERS_LINK_TIMING_H
#define ROUTERS_LINK_TIMING_H

namespace zant::routers {

struct LinkTiming {
    int connectMs = 2000;
    // Quiet this long, the link asks for a sign of life; a request or that
    // question unanswered for answerMs means the connection is lost.
    int quietMs = 1000;
    int answerMs = 3000;
    // A router still sending is alive, and the answer may wait behind what
    // it sends (a slow dump): answerMs then counts from its last bytes, but
    // the answer comes within this of the request all the same.
    int longestAnswerMs = 30000;
    int firstBackoffMs = 250;
    int lastBackoffMs = 4000;
    // How long the link's thread waits for bytes before it looks at its clocks.
    int pollMs = 20;
};

}  // namespace zant::routers

#endif  // ROUTERS_LINK_TIMING_H
