#include "routers/VideohubReader.h"

#include <cstring>
#include <utility>

namespace zant::routers {

namespace {

enum Problem { longLine, longBlock, nulLine, nulHeader };

bool blank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

// The header without its colon; spaces after the colon are forgiven.
std::string headerOf(const std::string& line) {
    std::string header = line.substr(0, line.find_last_not_of(" \t") + 1);
    if (!header.empty() && header.back() == ':') header.pop_back();
    return header;
}

}  // namespace

void VideohubReader::feed(const char* data, size_t size, std::vector<VideohubBlock>& blocks) {
    feedSome(data, size, blocks, false);
}

size_t VideohubReader::feedToProblems(const char* data, size_t size,
                                      std::vector<VideohubBlock>& blocks) {
    return feedSome(data, size, blocks, true);
}

size_t VideohubReader::feedSome(const char* data, size_t size, std::vector<VideohubBlock>& blocks,
                                bool stopAtProblems) {
    const char* at = data;
    const char* const end = data + size;
    while (at < end) {
        const auto* newline = static_cast<const char*>(std::memchr(at, '\n', end - at));
        const char* const stop = newline != nullptr ? newline : end;
        const size_t room = maxLine + 1 - line_.size();
        const size_t length = static_cast<size_t>(stop - at);
        if (length > room) lineOverflow_ = true;
        line_.append(at, length < room ? length : room);
        if (newline == nullptr) return size;
        endLine(blocks);
        at = newline + 1;
        if (stopAtProblems && !problems_.empty() && !midBlock()) break;
    }
    return static_cast<size_t>(at - data);
}

void VideohubReader::endLine(std::vector<VideohubBlock>& blocks) {
    std::string line;
    line.swap(line_);
    bool cut = lineOverflow_;
    lineOverflow_ = false;
    if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > maxLine) {
        line.resize(maxLine);
        cut = true;
    }
    if (blank(line)) {
        if (inBlock_) endBlock(blocks);
        return;
    }
    if (cut) {
        problems_.add(longLine, "a line longer than " + std::to_string(maxLine) +
                                    " bytes was cut there, the rest skipped");
    }
    const bool holdsNul = line.find('\0') != std::string::npos;
    if (!inBlock_) {
        inBlock_ = true;
        if (holdsNul) {
            skipBlock_ = true;
            problems_.add(nulHeader, "a block whose header holds a NUL byte was skipped");
        } else {
            block_.header = headerOf(line);
        }
        return;
    }
    if (skipBlock_) return;
    if (holdsNul) {
        problems_.add(nulLine, "a line of " + ProblemTally::quote(block_.header) +
                                   " holding a NUL byte was skipped");
    } else if (block_.lines.size() < maxBlockLines) {
        block_.lines.push_back(std::move(line));
    } else if (!blockCut_) {
        blockCut_ = true;
        problems_.add(longBlock, "a " + ProblemTally::quote(block_.header) +
                                     " block of more than " + std::to_string(maxBlockLines) +
                                     " lines kept only its first ones");
    }
}

void VideohubReader::endBlock(std::vector<VideohubBlock>& blocks) {
    if (!skipBlock_) blocks.push_back(std::move(block_));
    block_ = VideohubBlock{};
    inBlock_ = false;
    skipBlock_ = false;
    blockCut_ = false;
}

std::vector<std::string> VideohubReader::takeProblems() {
    return problems_.take();
}

bool VideohubReader::midBlock() const {
    return inBlock_ || !line_.empty() || lineOverflow_;
}

void VideohubReader::reset() {
    line_.clear();
    lineOverflow_ = false;
    block_ = VideohubBlock{};
    inBlock_ = false;
    skipBlock_ = false;
    blockCut_ = false;
}

}  // namespace zant::routers
