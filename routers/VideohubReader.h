// The blocks of a router's text protocol, cut from the bytes as they arrive
// in pieces of any size: a header line ("VIDEO OUTPUT ROUTING:", "ACK"), its
// lines, then the blank line that ends the block. A carriage return before a
// line feed is dropped. Memory is bounded: a line longer than maxLine is cut
// there (the rest of it skipped) and a block of more than maxBlockLines lines
// keeps only the first ones; each such refusal is a problem to report, and
// the block still ends where the router ends it. A line of only spaces and
// tabs counts as blank. A line holding a NUL byte is skipped (a problem): no
// text taken from the router can carry one into a C string; when it is the
// header line, the whole block is skipped. Other bytes, valid UTF-8 or not,
// are kept as they came.
#ifndef ROUTERS_VIDEOHUB_READER_H
#define ROUTERS_VIDEOHUB_READER_H

#include <cstddef>
#include <string>
#include <vector>

#include "routers/ProblemTally.h"

namespace zant::routers {

struct VideohubBlock {
    std::string header;  // without its colon: "VIDEO OUTPUT ROUTING", "ACK"
    std::vector<std::string> lines;
};

class VideohubReader {
public:
    static constexpr size_t maxLine = 1024;
    static constexpr size_t maxBlockLines = 4096;

    // Appends each block that `data` completes to `blocks`.
    void feed(const char* data, size_t size, std::vector<VideohubBlock>& blocks);
    // The same, but it stops between blocks once something was refused, so
    // that what each block brought can be taken with it however the bytes
    // were cut; the bytes taken.
    size_t feedToProblems(const char* data, size_t size, std::vector<VideohubBlock>& blocks);
    // What was refused since the last call, one sentence each, oldest first
    // (at most a few: later ones of the same kind are counted, not kept).
    std::vector<std::string> takeProblems();
    // Inside a block (or a line) that has not ended: a connection closed now
    // closed in the middle of a block.
    bool midBlock() const;
    // Forgets the unfinished line and block: a new connection.
    void reset();

private:
    size_t feedSome(const char* data, size_t size, std::vector<VideohubBlock>& blocks,
                    bool stopAtProblems);
    void endLine(std::vector<VideohubBlock>& blocks);
    void endBlock(std::vector<VideohubBlock>& blocks);

    std::string line_;           // at most maxLine + 1 bytes: room for a CR before the LF
    bool lineOverflow_ = false;  // bytes beyond line_ were skipped
    bool inBlock_ = false;
    bool skipBlock_ = false;  // its header was refused: skipped to its blank line
    bool blockCut_ = false;
    VideohubBlock block_;
    ProblemTally problems_;
};

}  // namespace zant::routers

#endif  // ROUTERS_VIDEOHUB_READER_H
